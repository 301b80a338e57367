// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/soundcue.h"
#include "ui/common/effectsounddevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSoundDevice : public QObject {
    Q_OBJECT
private slots:
    void findsTheShippedSoundsBesideTheProgram();
    void neverLooksInTheWorkingDirectory();
    void programFolderComesBeforeDataFolder();
    void shippedSoundsArePlayable();
    void brokenFilesNeverStopACue_data();
    void brokenFilesNeverStopACue();
};

void TestSoundDevice::findsTheShippedSoundsBesideTheProgram()
{
    EffectSoundDevice device;
    for (const QString &cue : {kStartOverCue, kEndCue}) {
        device.setFileName(cue);
        QCOMPARE(device.resolvedPath(), QDir(QCoreApplication::applicationDirPath()).filePath(cue));
    }
}

void TestSoundDevice::neverLooksInTheWorkingDirectory()
{
    QTemporaryDir cwd, empty;
    writeFile(cwd.filePath(kStartOverCue), "RIFF");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    EffectSoundDevice device({empty.path()});
    device.setFileName(kStartOverCue);
    QDir::setCurrent(previous);
    QCOMPARE(device.resolvedPath(), QString());
}

void TestSoundDevice::programFolderComesBeforeDataFolder()
{
    // The data folders are the application's folder under XDG_DATA_HOME,
    // then under each entry of XDG_DATA_DIRS, as an installed program sees them.
    QTemporaryDir home, first, second;
    const QString app = QCoreApplication::applicationName();
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(kEndCue);
    const auto place = [&](const QTemporaryDir &root, const QString &name) {
        QDir(root.path()).mkpath(app);
        const QString path = root.filePath(app + QLatin1Char('/') + name);
        QFile::copy(shipped, path);
        return path;
    };
    place(first, kEndCue);
    const QString onlySecond = place(second, QStringLiteral("second.wav"));
    const QString inHome = place(home, QStringLiteral("both.wav"));
    place(first, QStringLiteral("both.wav"));
    const QString inFirst = place(first, QStringLiteral("first.wav"));
    place(second, QStringLiteral("first.wav"));

    const QByteArray oldHome = qgetenv("XDG_DATA_HOME"), oldDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", (first.path() + QLatin1Char(':') + second.path()).toLocal8Bit());
    EffectSoundDevice device;
    QStringList resolved;
    for (const QString &name : {kEndCue, QStringLiteral("second.wav"), QStringLiteral("both.wav"), QStringLiteral("first.wav")}) {
        device.setFileName(name);
        resolved << device.resolvedPath();
    }
    qputenv("XDG_DATA_HOME", oldHome);
    qputenv("XDG_DATA_DIRS", oldDirs);
    QCOMPARE(resolved, (QStringList{shipped, onlySecond, inHome, inFirst}));
}

void TestSoundDevice::shippedSoundsArePlayable()
{
    for (const QString &cue : {kStartOverCue, kEndCue})
        QVERIFY(EffectSoundDevice::isPlayableWave(QDir(QCoreApplication::applicationDirPath()).filePath(cue)));
}

void TestSoundDevice::brokenFilesNeverStopACue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("present");
    QFile good(QDir(QCoreApplication::applicationDirPath()).filePath(kStartOverCue));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray wave = good.readAll();
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("not a wave") << QByteArray("This is a text file, not sound.\n").repeated(50) << true;
    QTest::newRow("truncated header") << QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) << true;
    QTest::newRow("cut short") << wave.left(wave.size() / 2) << true;
    QTest::newRow("header only") << wave.left(44) << true;
    QTest::newRow("no data chunk") << wave.left(36) + QByteArray(64, '\0') << true;
}

void TestSoundDevice::brokenFilesNeverStopACue()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, present);
    QTemporaryDir dir;
    // Every case must come back: a hang here is the failure.
    if (present)
        writeFile(dir.filePath(kStartOverCue), content);
    EffectSoundDevice device({dir.path()});
    // Two cues in a row, the second cutting off the first, then a good one:
    // each call returns and the device stays usable.
    SoundCue(device, kStartOverCue);
    SoundCue(device, kStartOverCue);
    // A broken file is treated like a missing one: silence.
    QCOMPARE(device.resolvedPath(), QString());
    QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(kEndCue), dir.filePath(kEndCue));
    SoundCue(device, kEndCue);
    QCOMPARE(device.resolvedPath(), dir.filePath(kEndCue));
}

QTEST_MAIN(TestSoundDevice)
#include "tst_sounddevice.moc"
