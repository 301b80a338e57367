// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/gsettingsfiles.h"

#include "sound/smallfile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include <unistd.h>

namespace {

constexpr std::string_view kSchema = "org.gnome.desktop.sound";
constexpr std::string_view kKey = "event-sounds";
// Far larger than any real schema cache or settings database.
constexpr std::size_t kMaxBytes = 64 * 1024 * 1024;
constexpr std::uint32_t kNoParent = 0xffffffff;

std::string env(const char *name, const std::string &fallback = {})
{
    const char *value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::vector<std::string> split(std::string_view list)
{
    std::vector<std::string> parts;
    while (!list.empty()) {
        const std::size_t at = std::min(list.find(':'), list.size());
        if (at > 0)
            parts.emplace_back(list.substr(0, at));
        list.remove_prefix(std::min(at + 1, list.size()));
    }
    return parts;
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool exists(const std::string &path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

// A GVDB file: a header naming the root hash table; each table holds items
// whose keys are stored as a suffix of their parent item's key, and whose
// values are serialised GVariants ('v') or nested tables ('H'). Only the
// byte order of this machine's little-endian files is read.
class Gvdb {
public:
    struct Table {
        std::size_t items = 0;
        std::size_t count = 0;
    };
    struct Item {
        char type = 0;
        std::span<const std::uint8_t> value;
    };

    explicit Gvdb(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::optional<Table> root() const
    {
        if (m_bytes.size() < 24 || std::memcmp(m_bytes.data(), "GVariant", 8) != 0 || word(8) != 0)
            return std::nullopt;
        return table(word(16), word(20));
    }

    std::optional<Table> nested(const Table &in, std::string_view key) const
    {
        const std::optional<Item> item = find(in, key);
        if (!item || item->type != 'H')
            return std::nullopt;
        const auto start = std::size_t(item->value.data() - m_bytes.data());
        return table(start, start + item->value.size());
    }

    std::optional<Item> find(const Table &in, std::string_view key) const
    {
        for (std::size_t i = 0; i < in.count; ++i) {
            if (named(in, i, key))
                return item(in, i);
        }
        return std::nullopt;
    }

private:
    std::uint32_t word(std::size_t at) const
    {
        return std::uint32_t(m_bytes[at]) | std::uint32_t(m_bytes[at + 1]) << 8 | std::uint32_t(m_bytes[at + 2]) << 16
            | std::uint32_t(m_bytes[at + 3]) << 24;
    }

    std::optional<Table> table(std::size_t start, std::size_t end) const
    {
        if (start > end || end > m_bytes.size() || end - start < 8)
            return std::nullopt;
        const std::size_t bloom = word(start) & ((1u << 27) - 1);
        const std::size_t buckets = word(start + 4);
        const std::size_t items = start + 8 + 4 * (bloom + buckets);
        if (bloom > m_bytes.size() || buckets > m_bytes.size() || items > end)
            return std::nullopt;
        return Table{items, (end - items) / 24};
    }

    // Whether item i's full key, its parents' keys before its own, is key.
    bool named(const Table &in, std::size_t i, std::string_view key) const
    {
        for (std::size_t depth = 0; depth <= in.count; ++depth) {
            const std::size_t at = in.items + 24 * i;
            const std::size_t start = word(at + 8);
            const std::size_t size = std::size_t(m_bytes[at + 12]) | std::size_t(m_bytes[at + 13]) << 8;
            if (start > m_bytes.size() || size > m_bytes.size() - start || size > key.size()
                || std::memcmp(m_bytes.data() + start, key.data() + key.size() - size, size) != 0)
                return false;
            key.remove_suffix(size);
            const std::uint32_t parent = word(at + 4);
            if (parent == kNoParent)
                return key.empty();
            if (parent >= in.count)
                return false;
            i = parent;
        }
        return false;
    }

    std::optional<Item> item(const Table &in, std::size_t i) const
    {
        const std::size_t at = in.items + 24 * i;
        const std::size_t start = word(at + 16);
        const std::size_t end = word(at + 20);
        if (start > end || end > m_bytes.size())
            return std::nullopt;
        return Item{char(m_bytes[at + 14]), m_bytes.subspan(start, end - start)};
    }

    std::span<const std::uint8_t> m_bytes;
};

// The setting's boolean in a value of type "b", or in the first member of a
// schema's key tuple, "(b...)".
std::optional<bool> boolean(const std::optional<GSettingsFiles::Value> &value, bool inTuple)
{
    if (!value || value->data.empty())
        return std::nullopt;
    if (inTuple ? !value->type.starts_with("(b") : (value->type != "b" || value->data.size() != 1))
        return std::nullopt;
    return value->data[0] != 0;
}

} // namespace

std::optional<GSettingsFiles::Value> GSettingsFiles::lookUp(std::span<const std::uint8_t> file, std::string_view table,
                                                            std::string_view key)
{
    const Gvdb gvdb(file);
    std::optional<Gvdb::Table> in = gvdb.root();
    if (in && !table.empty())
        in = gvdb.nested(*in, table);
    const std::optional<Gvdb::Item> item = in ? gvdb.find(*in, key) : std::nullopt;
    if (!item || item->type != 'v' || item->value.empty())
        return std::nullopt;
    // A variant holds its value's bytes, a zero byte, then the value's type.
    const auto zero = std::find(item->value.rbegin(), item->value.rend(), 0);
    if (zero == item->value.rend() || zero == item->value.rbegin())
        return std::nullopt;
    const std::size_t at = std::size_t(item->value.rend() - zero) - 1;
    return Value{item->value.first(at),
                 {reinterpret_cast<const char *>(item->value.data()) + at + 1, item->value.size() - at - 1}};
}

GSettingsFiles::Places GSettingsFiles::fromEnvironment()
{
    Places places;
    // GSettings' order: $GSETTINGS_SCHEMA_DIR, the user's data folder, the
    // system's data folders.
    const std::vector<std::string> dataDirs = split(env("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/"));
    places.schemaDirs = split(env("GSETTINGS_SCHEMA_DIR"));
    places.schemaDirs.push_back(env("XDG_DATA_HOME", env("HOME") + "/.local/share") + "/glib-2.0/schemas");
    for (const std::string &dir : dataDirs)
        places.schemaDirs.push_back(dir + "/glib-2.0/schemas");
    places.userDbDir = env("XDG_CONFIG_HOME", env("HOME") + "/.config") + "/dconf";

    // dconf's order: $DCONF_PROFILE (a path, or a name looked up as below),
    // the session's runtime profile, then the profile "user" in /etc/dconf
    // and the data folders. Without any, the user's database alone.
    const auto named = [&](const std::string &name) {
        std::string path = "/etc/dconf/profile/" + name;
        for (std::size_t i = 0; !exists(path) && i < dataDirs.size(); ++i) {
            if (exists(dataDirs[i] + "/dconf/profile/" + name))
                path = dataDirs[i] + "/dconf/profile/" + name;
        }
        return path;
    };
    const std::string profile = env("DCONF_PROFILE");
    const std::string runtime = env("XDG_RUNTIME_DIR") + "/dconf.profile";
    if (!profile.empty())
        places.profile = profile.front() == '/' ? profile : named(profile);
    else if (!env("XDG_RUNTIME_DIR").empty() && exists(runtime))
        places.profile = runtime;
    else if (const std::string user = named("user"); exists(user))
        places.profile = user;
    return places;
}

GSettingsFiles::GSettingsFiles(Places places) : m_places(std::move(places)) {}

// The first folder whose cache holds the schema decides, as for GSettings;
// read once, as GSettings reads it once.
void GSettingsFiles::readSchema()
{
    if (std::exchange(m_schemaRead, true))
        return;
    for (const std::string &dir : m_places.schemaDirs) {
        std::vector<std::uint8_t> bytes;
        if (readSmallFile(dir + "/gschemas.compiled", kMaxBytes, bytes) != SmallFile::Read)
            continue;
        const Gvdb gvdb(bytes);
        const std::optional<Gvdb::Table> root = gvdb.root();
        if (!root || !gvdb.nested(*root, kSchema))
            continue;
        const std::optional<Value> path = lookUp(bytes, kSchema, ".path");
        m_default = boolean(lookUp(bytes, kSchema, kKey), true);
        if (!path || path->type != "s" || !m_default) {
            m_default.reset();
            return;
        }
        const std::string_view text(reinterpret_cast<const char *>(path->data.data()), path->data.size());
        m_key = std::string(text.substr(0, text.find('\0'))) + std::string(kKey);
        return;
    }
}

void GSettingsFiles::readProfile()
{
    if (std::exchange(m_profileRead, true))
        return;
    if (m_places.profile.empty()) {
        m_sources.push_back({m_places.userDbDir + "/user", false});
        return;
    }
    // A named profile that cannot be read leaves dconf with no databases.
    std::ifstream in(m_places.profile);
    for (std::string line; std::getline(in, line);) {
        std::string_view text = trimmed(std::string_view(line).substr(0, line.find('#')));
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view kind = trimmed(text.substr(0, colon));
        const std::string name(trimmed(text.substr(colon + 1)));
        if (name.empty())
            continue;
        if (kind == "user-db")
            m_sources.push_back({m_places.userDbDir + "/" + name, false});
        else if (kind == "system-db")
            m_sources.push_back({m_places.systemDbDir + "/" + name, true});
        else if (kind == "file-db")
            m_sources.push_back({name, true});
        // service-db: kept by a service over the bus, not a file to read.
    }
}

std::optional<bool> GSettingsFiles::eventSounds()
{
    readSchema();
    if (!m_default)
        return std::nullopt;
    readProfile();
    std::vector<std::vector<std::uint8_t>> files(m_sources.size());
    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        if (readSmallFile(m_sources[i].path, kMaxBytes, files[i]) != SmallFile::Read)
            files[i].clear();
    }
    // A key locked by a system database is read from there on down, as dconf
    // reads it; else the first database holding it gives the value.
    std::size_t from = 0;
    for (std::size_t i = 1; i < m_sources.size() && from == 0; ++i) {
        if (m_sources[i].system && lookUp(files[i], ".locks", m_key))
            from = i;
    }
    for (std::size_t i = from; i < m_sources.size(); ++i) {
        if (const std::optional<Value> value = lookUp(files[i], {}, m_key))
            return boolean(value, false).value_or(*m_default); // GSettings ignores a value of another type
    }
    return m_default;
}
