// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/gsettingsfiles.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The desktop's own switch for event sounds, which the cues are. A teacher
// turns event sounds off for a whole room in the desktop's settings, and the
// cues must follow. Read afresh before each cue, on the sound thread, where
// the running desktop keeps it: KDE's kdeglobals on KDE, the XSETTINGS that
// an X11 settings daemon publishes (Xfce, MATE, GNOME), GNOME's GSettings
// where its schema is installed (read from dconf's files, GSettingsFiles, or
// through GIO where GSETTINGS_BACKEND names another backend). The first of
// them that holds a value decides; with none, event sounds are on.
class EventSoundSwitch {
public:
    // Takes the desktop, the display and the configuration folders from the
    // environment.
    EventSoundSwitch();
    ~EventSoundSwitch();
    EventSoundSwitch(const EventSoundSwitch &) = delete;
    EventSoundSwitch &operator=(const EventSoundSwitch &) = delete;

    bool enabled();

    // The readings of each source, open to any input.
    static std::optional<bool> fromKdeGlobals(std::string_view text);
    // The files in order of precedence; absent or unreadable ones are skipped.
    static std::optional<bool> fromKdeGlobalsFiles(const std::vector<std::string> &paths);
    // The _XSETTINGS_SETTINGS property's bytes.
    static std::optional<bool> fromXSettings(std::span<const std::uint8_t> property);

private:
    struct XSettings;
    struct GSettings;
    std::vector<std::string> m_kdeGlobals; // empty unless on KDE
    std::unique_ptr<XSettings> m_x;
    // One of the two, made when first needed.
    std::optional<GSettingsFiles> m_files;
    std::unique_ptr<GSettings> m_gsettings;
};
