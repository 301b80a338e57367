// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/cuefiles.h"

#include "sound/smallfile.h"

#include <cstdio>

namespace {

bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

CueFiles::Found CueFiles::find(const std::string &fileName)
{
    for (const std::string &dir : m_dirs) {
        const std::string path = dir + '/' + fileName;
        struct stat st = {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return read(path, fileName, st).found;
    }
    return {};
}

const CueFiles::Entry &CueFiles::read(const std::string &path, const std::string &name, const struct stat &st)
{
    Entry &entry = m_cache[path];
    if (entry.device == st.st_dev && entry.inode == st.st_ino && entry.size == st.st_size
        && sameTime(entry.modified, st.st_mtim))
        return entry;
    entry = {st.st_dev, st.st_ino, st.st_size, st.st_mtim, {}};
    std::string why;
    std::vector<std::uint8_t> bytes;
    if (std::uint64_t(st.st_size) > WaveFile::kMaxFileBytes)
        why = WaveFile::tooLarge();
    else if (readSmallFile(path, WaveFile::kMaxFileBytes, bytes) == SmallFile::Unreadable)
        why = "cannot be read";
    if (why.empty()) {
        const WaveFile::Result wave = WaveFile::parse(bytes);
        if (wave.ok) {
            const auto from = bytes.begin() + std::ptrdiff_t(wave.layout.dataAt);
            entry.found.cue = std::make_shared<const CueSound>(
                CueSound{path, name, wave.layout, {from, from + std::ptrdiff_t(wave.layout.dataSize)}});
            return entry;
        }
        why = wave.why;
    }
    entry.found.refusal = "tavelk: " + path + ": not played: " + why;
    std::fprintf(stderr, "%s\n", entry.found.refusal.c_str());
    return entry;
}
