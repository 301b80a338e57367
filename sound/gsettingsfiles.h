// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// GNOME's `org.gnome.desktop.sound event-sounds`, read as GSettings reads it
// through dconf, but from the files themselves: the compiled schemas for
// whether the key exists, its path and its default, and the dconf databases
// the profile names for its value. Loading GIO and its dconf backend for one
// boolean costs the process about 3 MB (their libraries, type system and a
// bus connection); these files are a few kilobytes, and read afresh they give
// each cue the value as it is now.
class GSettingsFiles {
public:
    struct Places {
        // Searched in order for glib-2.0's compiled schemas.
        std::vector<std::string> schemaDirs;
        // dconf's profile file; empty: none, so the user's database alone.
        std::string profile;
        // Where user databases live ($XDG_CONFIG_HOME/dconf) and system ones.
        std::string userDbDir;
        std::string systemDbDir = "/etc/dconf/db";
    };
    // As GSettings and dconf take them from the environment.
    static Places fromEnvironment();

    explicit GSettingsFiles(Places places);

    // Empty when the schema is not installed; else the value in dconf, or the
    // schema's default when no database holds a boolean for it.
    std::optional<bool> eventSounds();

    // A value in a GVDB file (the format of both), looked up by its full key,
    // in the nested table `table` if not empty: the bytes of its serialised
    // GVariant and its type. Empty for any file that is not a well-formed
    // little-endian GVDB file holding that key.
    struct Value {
        std::span<const std::uint8_t> data;
        std::string_view type;
    };
    static std::optional<Value> lookUp(std::span<const std::uint8_t> file, std::string_view table,
                                       std::string_view key);

private:
    struct Source {
        std::string path;
        bool system = false;
    };
    void readSchema();
    void readProfile();

    Places m_places;
    bool m_schemaRead = false;
    std::optional<bool> m_default; // empty: no schema with the key
    std::string m_key;             // the key's dconf path
    bool m_profileRead = false;
    std::vector<Source> m_sources;
};
