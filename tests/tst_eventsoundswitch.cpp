// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/eventsoundswitch.h"
#include "sound/gsettingsfiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#ifndef TAVELK_GSETTINGS_DATA
#error "TAVELK_GSETTINGS_DATA must name the folder of the GSettings test files"
#endif

using Reading = std::optional<bool>;
Q_DECLARE_METATYPE(Reading)

namespace {

// One XSETTINGS entry in the given byte order: type 0 integer, 1 string,
// 2 colour.
QByteArray setting(bool msb, int type, const QByteArray &name, const QByteArray &value)
{
    const auto number = [msb](quint32 n, int bytes) {
        QByteArray out(bytes, '\0');
        for (int i = 0; i < bytes; ++i)
            out[msb ? bytes - 1 - i : i] = char(n >> (8 * i));
        return out;
    };
    const auto pad = [](QByteArray b) { return b + QByteArray((4 - b.size() % 4) % 4, '\0'); };
    QByteArray body = type == 1 ? number(quint32(value.size()), 4) + pad(value) : value;
    if (type == 0)
        body = number(value.toUInt(), 4);
    return QByteArray(1, char(type)) + '\0' + number(quint32(name.size()), 2) + pad(name) + number(0, 4) + body;
}

QByteArray settingsBlob(bool msb, const QList<QByteArray> &entries)
{
    QByteArray out(12, '\0');
    out[0] = char(msb);
    out[msb ? 11 : 8] = char(entries.size());
    for (const QByteArray &e : entries)
        out += e;
    return out;
}

// GNOME's key read from the test folder's schema (default false) and a user
// database written by dconf's own service, or none.
Reading fromGSettingsFiles(const QString &schemaDir, const QString &userDb)
{
    QTemporaryDir config;
    const QDir data(QStringLiteral(TAVELK_GSETTINGS_DATA));
    if (!userDb.isEmpty() && !QFile::copy(data.filePath(userDb), config.filePath(QStringLiteral("user"))))
        return std::nullopt;
    GSettingsFiles files({{schemaDir.toStdString()}, {}, config.path().toStdString()});
    return files.eventSounds();
}

QByteArray dataFile(const char *name)
{
    QFile file(QDir(QStringLiteral(TAVELK_GSETTINGS_DATA)).filePath(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Reading fromX(const QByteArray &bytes)
{
    return EventSoundSwitch::fromXSettings(
        {reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())});
}

} // namespace

class TestEventSoundSwitch : public QObject {
    Q_OBJECT
private slots:
    void kdeGlobals_data();
    void kdeGlobals();
    void xsettings_data();
    void xsettings();
    void kdeGlobalsFiles_data();
    void kdeGlobalsFiles();
    void gsettingsFiles_data();
    void gsettingsFiles();
    void gsettingsFilesCutShort();
};

void TestEventSoundSwitch::kdeGlobals_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Reading>("expected");
    const Reading off = false, on = true, unset;
    QTest::newRow("off") << QByteArray("[General]\nName=x\n\n[Sounds]\nEnable=false\n") << off;
    QTest::newRow("on") << QByteArray("[Sounds]\nEnable=true\n") << on;
    QTest::newRow("spaces and CRLF") << QByteArray("[Sounds]\r\n  Enable = False \r\n") << off;
    QTest::newRow("locked") << QByteArray("[Sounds][$i]\nEnable[$i]=0\n") << off;
    QTest::newRow("last one wins") << QByteArray("[Sounds]\nEnable=false\nEnable=yes\n") << on;
    QTest::newRow("other group") << QByteArray("[Sounds][Theme]\nEnable=false\n[Other]\nEnable=false\n") << unset;
    QTest::newRow("other key") << QByteArray("[Sounds]\nEnabled=false\nEnable[de]=false\n") << unset;
    QTest::newRow("not a truth value") << QByteArray("[Sounds]\nEnable=nope\n") << unset;
    QTest::newRow("no newline at end") << QByteArray("[Sounds]\nEnable=off") << off;
    QTest::newRow("binary junk") << QByteArray("\0\xff[Sounds\n=\n[\n", 14) << unset;
    QTest::newRow("empty") << QByteArray() << unset;
}

void TestEventSoundSwitch::kdeGlobals()
{
    QFETCH(QByteArray, text);
    QFETCH(Reading, expected);
    QCOMPARE(EventSoundSwitch::fromKdeGlobals({text.constData(), std::size_t(text.size())}), expected);
}

void TestEventSoundSwitch::xsettings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Reading>("expected");
    const Reading off = false, on = true, unset;
    for (const bool msb : {false, true}) {
        const char *order = msb ? "MSB first: " : "LSB first: ";
        const QByteArray theme = setting(msb, 1, "Net/ThemeName", "Adwaita-dark");
        const QByteArray colour = setting(msb, 2, "Gtk/Colour", QByteArray(8, '\1'));
        const QByteArray sounds = setting(msb, 0, "Net/EnableEventSounds", "0");
        QTest::addRow("%sswitched off after others", order) << settingsBlob(msb, {theme, colour, sounds}) << off;
        QTest::addRow("%son", order) << settingsBlob(msb, {setting(msb, 0, "Net/EnableEventSounds", "1")}) << on;
        QTest::addRow("%snot published", order) << settingsBlob(msb, {theme}) << unset;
        QTest::addRow("%scut short", order) << settingsBlob(msb, {theme, sounds}).chopped(6) << unset;
        QTest::addRow("%sunknown type first", order) << settingsBlob(msb, {setting(msb, 7, "X", "1"), sounds}) << unset;
        QTest::addRow("%sas a string", order)
            << settingsBlob(msb, {setting(msb, 1, "Net/EnableEventSounds", "0")}) << unset;
    }
    QByteArray huge = settingsBlob(false, {});
    huge[8] = '\xff', huge[9] = '\xff', huge[10] = '\xff', huge[11] = '\xff';
    QTest::newRow("count past the end") << huge << unset;
    QTest::newRow("too short") << QByteArray(5, '\0') << unset;
}

void TestEventSoundSwitch::xsettings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Reading, expected);
    QCOMPARE(fromX(bytes), expected);
}

void TestEventSoundSwitch::kdeGlobalsFiles_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<Reading>("expected");
    // The system file says off; the user's file, when it holds the key, wins.
    const Reading off = false, on = true;
    QTest::newRow("user's on wins") << "[Sounds]\nEnable=true\n" << on;
    QTest::newRow("user's without the key") << "[General]\nx=1\n" << off;
    QTest::newRow("user's absent") << "absent" << off;
    QTest::newRow("user's a folder") << "folder" << off;
    QTest::newRow("user's a pipe") << "pipe" << off;
    QTest::newRow("user's unreadable") << "unreadable" << off;
    QTest::newRow("user's too large") << "large" << off;
}

void TestEventSoundSwitch::kdeGlobalsFiles()
{
    QFETCH(QString, user);
    QFETCH(Reading, expected);
    QTemporaryDir dir;
    const QString userPath = dir.filePath("user"), systemPath = dir.filePath("system");
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(systemPath, "[Sounds]\nEnable=false\n");
    if (user == "folder")
        QVERIFY(QDir(dir.path()).mkdir("user"));
    else if (user == "pipe") // would hold a blocking reader for ever
        QCOMPARE(::mkfifo(QFile::encodeName(userPath).constData(), 0600), 0);
    else if (user == "unreadable") // a regular file whose read fails, even for root
        QVERIFY(QFile::link("/proc/self/mem", userPath));
    else if (user == "large")
        write(userPath, "[Sounds]\nEnable=true\n" + QByteArray(1024 * 1024, '#'));
    else if (user != "absent")
        write(userPath, user.toUtf8());
    const std::vector<std::string> paths{QFile::encodeName(userPath).toStdString(),
                                         QFile::encodeName(systemPath).toStdString()};
    QCOMPARE(EventSoundSwitch::fromKdeGlobalsFiles(paths), expected);
}

QTEST_GUILESS_MAIN(TestEventSoundSwitch)
void TestEventSoundSwitch::gsettingsFiles_data()
{
    QTest::addColumn<QString>("schemaDir");
    QTest::addColumn<QString>("userDb");
    QTest::addColumn<Reading>("expected");
    const QString schema = QStringLiteral(TAVELK_GSETTINGS_DATA), none = QStringLiteral("/nonexistent");
    const Reading off = false, on = true;
    // clang-format off
    QTest::newRow("no schema, no value") << none << "dconf-user-event-sounds-true" << Reading();
    QTest::newRow("schema's default") << schema << "" << off;
    QTest::newRow("user's on") << schema << "dconf-user-event-sounds-true" << on;
    QTest::newRow("user's off") << schema << "dconf-user-event-sounds-false" << off;
    QTest::newRow("user's database not one") << schema << "org.gnome.desktop.sound.gschema.xml" << off;
    // clang-format on
}

void TestEventSoundSwitch::gsettingsFiles()
{
    QFETCH(QString, schemaDir);
    QFETCH(QString, userDb);
    QFETCH(Reading, expected);
    QCOMPARE(fromGSettingsFiles(schemaDir, userDb), expected);
}

// Every shorter piece of a real file is read without reading past its end
// (the sanitizer build checks that) and gives nothing, or the whole file's
// answer for a piece that still holds the value.
void TestEventSoundSwitch::gsettingsFilesCutShort()
{
    for (const char *name : {"dconf-user-event-sounds-true", "gschemas.compiled"}) {
        const QByteArray whole = dataFile(name);
        QVERIFY(!whole.isEmpty());
        const bool schema = QByteArray(name) == "gschemas.compiled";
        const std::string table = schema ? "org.gnome.desktop.sound" : "";
        const std::string key = schema ? "event-sounds" : "/org/gnome/desktop/sound/event-sounds";
        for (qsizetype size = 0; size <= whole.size(); ++size) {
            const std::vector<std::uint8_t> piece(whole.begin(), whole.begin() + size);
            const auto value = GSettingsFiles::lookUp(piece, table, key);
            if (size == whole.size())
                QVERIFY(value && value->data.size() == 1 && value->type == (schema ? "(b)" : "b"));
            else if (value)
                QCOMPARE(value->data[0], std::uint8_t(schema ? 0 : 1));
        }
    }
}

#include "tst_eventsoundswitch.moc"
