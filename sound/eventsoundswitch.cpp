// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/eventsoundswitch.h"

#include "sound/smallfile.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <dlfcn.h>

namespace {

// Larger than any real settings file or property by far.
constexpr std::size_t kMaxBytes = 256 * 1024;

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::string env(const char *name, const std::string &fallback = {})
{
    const char *value = std::getenv(name);
    return value && *value ? value : fallback;
}

} // namespace

std::optional<bool> EventSoundSwitch::fromKdeGlobals(std::string_view text)
{
    std::optional<bool> value;
    bool inSounds = false;
    while (!text.empty()) {
        const std::size_t eol = std::min(text.find('\n'), text.size());
        std::string_view line = trimmed(text.substr(0, eol));
        text.remove_prefix(std::min(eol + 1, text.size()));
        if (line.starts_with('[')) {
            // "[$i]" after a group or key only marks it as locked.
            inSounds = line == "[Sounds]" || line == "[Sounds][$i]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inSounds || eq == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        if (key != "Enable" && key != "Enable[$i]")
            continue;
        // The spellings KDE's own reader takes; anything else leaves the key unset.
        const std::string word = lower(trimmed(line.substr(eq + 1)));
        if (word == "true" || word == "on" || word == "yes" || word == "1")
            value = true;
        else if (word == "false" || word == "off" || word == "no" || word == "0")
            value = false;
    }
    return value;
}

std::optional<bool> EventSoundSwitch::fromKdeGlobalsFiles(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths) {
        std::vector<std::uint8_t> bytes;
        if (readSmallFile(path, kMaxBytes, bytes) != SmallFile::Read)
            continue;
        if (const auto value = fromKdeGlobals({reinterpret_cast<const char *>(bytes.data()), bytes.size()}))
            return value;
    }
    return std::nullopt;
}

std::optional<bool> EventSoundSwitch::fromXSettings(std::span<const std::uint8_t> p)
{
    if (p.size() < 12)
        return std::nullopt;
    const bool msbFirst = p[0] == 1;
    const auto number = [&](std::size_t at, int bytes) {
        std::uint32_t n = 0;
        for (int i = 0; i < bytes; ++i)
            n |= std::uint32_t(p[at + std::size_t(i)]) << (8 * (msbFirst ? bytes - 1 - i : i));
        return n;
    };
    const auto padded = [](std::size_t n) { return (n + 3) & ~std::size_t(3); };
    const std::uint32_t count = number(8, 4);
    std::size_t at = 12;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (p.size() - at < 4)
            return std::nullopt;
        const std::uint8_t type = p[at];
        const std::size_t nameLength = number(at + 2, 2);
        const std::size_t valueAt = at + 4 + padded(nameLength) + 4;
        if (valueAt + 4 > p.size())
            return std::nullopt;
        const std::string_view name(reinterpret_cast<const char *>(p.data()) + at + 4, nameLength);
        if (type == 0 && name == "Net/EnableEventSounds")
            return number(valueAt, 4) != 0;
        if (type == 0)
            at = valueAt + 4;
        else if (type == 1)
            at = valueAt + 4 + padded(number(valueAt, 4));
        else if (type == 2)
            at = valueAt + 8;
        else
            return std::nullopt;
        if (at > p.size())
            return std::nullopt;
    }
    return std::nullopt;
}

// The settings daemon's published values, over a connection of the sound
// thread's own: the program's windows never wait on it.
struct EventSoundSwitch::XSettings {
    xcb_connection_t *connection = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;

    ~XSettings()
    {
        if (connection)
            xcb_disconnect(connection);
    }

    xcb_atom_t atom(const std::string &name)
    {
        auto *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.data()), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    bool connected()
    {
        if (connection && !xcb_connection_has_error(connection))
            return true;
        if (connection)
            xcb_disconnect(connection);
        int screen = 0;
        connection = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(connection))
            return false;
        selection = atom("_XSETTINGS_S" + std::to_string(screen));
        property = atom("_XSETTINGS_SETTINGS");
        return true;
    }

    std::optional<bool> read()
    {
        if (!connected())
            return std::nullopt;
        auto *owner =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
        const xcb_window_t window = owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
        std::free(owner);
        if (window == XCB_WINDOW_NONE)
            return std::nullopt;
        auto *reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, property, 0, kMaxBytes / 4), nullptr);
        std::optional<bool> value;
        if (reply && reply->format == 8)
            value = fromXSettings({static_cast<const std::uint8_t *>(xcb_get_property_value(reply)),
                                   std::size_t(xcb_get_property_value_length(reply))});
        std::free(reply);
        return value;
    }
};

// GNOME's key through GIO, for a GSettings backend other than dconf's, loaded
// on the sound thread when first needed. GIO rereads the key as it changes,
// with no main loop needed.
struct EventSoundSwitch::GSettings {
    bool tried = false;
    void *settings = nullptr;
    int (*getBoolean)(void *, const char *) = nullptr;
    void (*unref)(void *) = nullptr;

    ~GSettings()
    {
        if (settings)
            unref(settings);
    }

    template <typename Function>
    static bool resolve(void *library, const char *name, Function &function)
    {
        function = reinterpret_cast<Function>(dlsym(library, name));
        return function != nullptr;
    }

    void load()
    {
        if (std::exchange(tried, true))
            return;
        // Never unloaded: its own threads may outlive this object.
        void *gio = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        void *(*defaultSource)() = nullptr;
        void *(*lookup)(void *, const char *, int) = nullptr;
        int (*hasKey)(void *, const char *) = nullptr;
        void *(*create)(void *, void *, const char *) = nullptr;
        void (*unrefSchema)(void *) = nullptr;
        if (!gio || !resolve(gio, "g_settings_schema_source_get_default", defaultSource)
            || !resolve(gio, "g_settings_schema_source_lookup", lookup)
            || !resolve(gio, "g_settings_schema_has_key", hasKey) || !resolve(gio, "g_settings_new_full", create)
            || !resolve(gio, "g_settings_schema_unref", unrefSchema)
            || !resolve(gio, "g_settings_get_boolean", getBoolean) || !resolve(gio, "g_object_unref", unref))
            return;
        void *source = defaultSource();
        void *schema = source ? lookup(source, "org.gnome.desktop.sound", 1) : nullptr;
        if (!schema)
            return;
        if (hasKey(schema, "event-sounds"))
            settings = create(schema, nullptr, nullptr);
        unrefSchema(schema);
    }

    std::optional<bool> read()
    {
        load();
        if (!settings)
            return std::nullopt;
        return getBoolean(settings, "event-sounds") != 0;
    }
};

EventSoundSwitch::EventSoundSwitch()
{
    const std::string desktops = ':' + env("XDG_CURRENT_DESKTOP") + ':';
    if (desktops.find(":KDE:") != std::string::npos) {
        // The user's file first, then the system's, as KDE reads them.
        m_kdeGlobals.push_back(env("XDG_CONFIG_HOME", env("HOME") + "/.config") + "/kdeglobals");
        std::string_view dirs = env("XDG_CONFIG_DIRS", "/etc/xdg");
        for (std::size_t at; !dirs.empty(); dirs.remove_prefix(std::min(at + 1, dirs.size()))) {
            at = std::min(dirs.find(':'), dirs.size());
            if (at > 0)
                m_kdeGlobals.push_back(std::string(dirs.substr(0, at)) + "/kdeglobals");
        }
    }
    if (!env("DISPLAY").empty())
        m_x = std::make_unique<XSettings>();
}

EventSoundSwitch::~EventSoundSwitch() = default;

bool EventSoundSwitch::enabled()
{
    std::optional<bool> value = fromKdeGlobalsFiles(m_kdeGlobals);
    if (!value && m_x)
        value = m_x->read();
    if (!value) {
        // GSettings reads dconf's databases unless told to use another backend.
        const std::string backend = env("GSETTINGS_BACKEND");
        if (backend.empty() || backend == "dconf") {
            if (!m_files)
                m_files.emplace(GSettingsFiles::fromEnvironment());
            value = m_files->eventSounds();
        } else {
            if (!m_gsettings)
                m_gsettings = std::make_unique<GSettings>();
            value = m_gsettings->read();
        }
    }
    return value.value_or(true);
}
