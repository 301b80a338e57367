// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/smallfile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SmallFile readSmallFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &bytes)
{
    // Not blocking on a file that turned into a pipe since it was looked at.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st = {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return SmallFile::Unreadable;
    }
    // One byte more than the file held when looked at, so that a file that
    // grew meanwhile is noticed rather than read whole.
    bytes.resize(std::min(std::size_t(st.st_size), limit) + 1);
    std::size_t got = 0;
    bool failed = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        failed = n < 0;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    ::close(fd);
    bytes.resize(got);
    if (failed)
        return SmallFile::Unreadable;
    return got > limit ? SmallFile::TooLarge : SmallFile::Read;
}
