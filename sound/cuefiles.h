// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/wavefile.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

// A wave file read, checked and ready to hand to the sound server.
struct CueSound {
    std::string path;
    std::string name;
    WaveFile::Layout layout;
    std::vector<std::uint8_t> samples;
};

// Finds a cue by its bare name in a list of folders and keeps what it read:
// a file is read again only when its identity, size or time changed, so a
// broken file costs one line on stderr, not one per click.
class CueFiles {
public:
    explicit CueFiles(std::vector<std::string> dirs) : m_dirs(std::move(dirs)) {}

    struct Found {
        std::shared_ptr<const CueSound> cue; // null: nothing playable
        std::string refusal;                 // the line printed about a broken file
    };
    // The first folder holding a file of that name decides: a broken file
    // there is silence, not a reason to look further.
    Found find(const std::string &fileName);

private:
    struct Entry {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        Found found;
    };
    const Entry &read(const std::string &path, const std::string &name, const struct stat &st);

    const std::vector<std::string> m_dirs;
    std::map<std::string, Entry> m_cache;
};
