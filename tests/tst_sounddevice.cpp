// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/soundcue.h"
#include "sound/effectsounddevice.h"
#include "sound/wavefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The cue sequence, then what the sound thread made of it.
QString played(EffectSoundDevice &device, const QString &cue)
{
    device.stop();
    device.close();
    device.setFileName(cue);
    device.open();
    device.sound();
    if (!QTest::qWaitFor([&] { return device.idle(); }, 5000))
        return QStringLiteral("(the sound thread did not answer)");
    return device.resolvedPath();
}

QByteArray le(quint32 value, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        out[i] = char(value >> (8 * i));
    return out;
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    return QByteArray(id, 4) + le(quint32(body.size()), 4) + body + QByteArray(body.size() & 1, '\0');
}

QByteArray fmt(int tag, int channels, int rate, int bits)
{
    const int frame = channels * bits / 8;
    return chunk("fmt ", le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * frame, 4) + le(frame, 2) + le(bits, 2));
}

// WAVE_FORMAT_EXTENSIBLE with a PCM (1) or float (3) sub-format.
QByteArray extensible(int subFormat, int channels, int rate, int bits)
{
    const QByteArray plain = fmt(0xFFFE, channels, rate, bits).mid(8);
    return chunk("fmt ",
                 plain + le(22, 2) + le(bits, 2) + le(channels == 1 ? 4 : 3, 4) + le(subFormat, 2)
                     + QByteArray::fromHex("000000001000800000aa00389b71"));
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le(quint32(4 + chunks.size()), 4) + "WAVE" + chunks;
}

// A quiet tone's worth of samples that is not all zeros.
QByteArray samples(int bytes)
{
    return QByteArray(bytes, '\x10');
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
    void limitsOfACue_data();
    void limitsOfACue();
    void aChangedFileIsReadAgain();
};

void TestSoundDevice::findsTheShippedSoundsBesideTheProgram()
{
    EffectSoundDevice device;
    for (const QString &cue : {kStartOverCue, kEndCue})
        QCOMPARE(played(device, cue), QDir(QCoreApplication::applicationDirPath()).filePath(cue));
}

void TestSoundDevice::neverLooksInTheWorkingDirectory()
{
    QTemporaryDir cwd, empty;
    writeFile(cwd.filePath(kStartOverCue), "RIFF");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    EffectSoundDevice device({empty.path()});
    const QString resolved = played(device, kStartOverCue);
    QDir::setCurrent(previous);
    QCOMPARE(resolved, QString());
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
    for (const QString &name :
         {kEndCue, QStringLiteral("second.wav"), QStringLiteral("both.wav"), QStringLiteral("first.wav")})
        resolved << played(device, name);
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
    SoundCue(device, Cue::StartOver);
    // A broken file is treated like a missing one: silence.
    QCOMPARE(played(device, kStartOverCue), QString());
    QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(kEndCue), dir.filePath(kEndCue));
    QCOMPARE(played(device, kEndCue), dir.filePath(kEndCue));
}

void TestSoundDevice::limitsOfACue_data()
{
    // A file from the user's data folder may be built to cost time or
    // memory: each limit is checked on both sides.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sparseSize"); // grown with a hole to this size
    QTest::addColumn<QString>("why");       // empty: played
    const QByteArray pcm16 = fmt(1, 1, 44100, 16);
    const QByteArray second = samples(44100 * 2);
    const QByteArray junk = chunk("JUNK", {});
    constexpr int kMiB = 1024 * 1024;
    const QByteArray tail = pcm16 + chunk("data", second);
    // JUNK padding that makes the whole file exactly this long.
    const auto padTo = [&](int size) {
        return riff(chunk("JUNK", QByteArray(size - 12 - 8 - tail.size(), '\0')) + tail);
    };
    QTest::newRow("16-bit mono") << riff(tail) << qint64(0) << "";
    QTest::newRow("24-bit stereo") << riff(fmt(1, 2, 48000, 24) + chunk("data", samples(48000 * 6))) << qint64(0) << "";
    QTest::newRow("8-bit") << riff(fmt(1, 1, 8000, 8) + chunk("data", samples(8000))) << qint64(0) << "";
    QTest::newRow("float, extensible") << riff(extensible(3, 2, 48000, 32) + chunk("data", samples(48000 * 8)))
                                       << qint64(0) << "";
    QTest::newRow("32-bit PCM, extensible")
        << riff(extensible(1, 1, 44100, 32) + chunk("data", samples(44100 * 4))) << qint64(0) << "";
    QTest::newRow("64-bit float") << riff(fmt(3, 1, 44100, 64) + chunk("data", samples(44100 * 8))) << qint64(0)
                                  << "not 8-, 16-, 24- or 32-bit PCM or 32-bit float";
    QTest::newRow("5 s") << riff(fmt(1, 1, 8000, 8) + chunk("data", samples(8000 * 5))) << qint64(0) << "";
    QTest::newRow("5 s and one frame") << riff(fmt(1, 1, 8000, 8) + chunk("data", samples(8000 * 5 + 1))) << qint64(0)
                                       << "longer than 5 seconds";
    QTest::newRow("64 chunks") << riff(pcm16 + junk.repeated(62) + chunk("data", second)) << qint64(0) << "";
    QTest::newRow("65 chunks") << riff(pcm16 + junk.repeated(63) + chunk("data", second)) << qint64(0)
                               << "more than 64 chunks before the data";
    QTest::newRow("4 MB of empty chunks")
        << riff(junk.repeated(500000) + tail) << qint64(0) << "more than 64 chunks before the data";
    QTest::newRow("4 MiB") << padTo(4 * kMiB) << qint64(0) << "";
    QTest::newRow("4 MiB and a byte") << padTo(4 * kMiB + 1) << qint64(0) << "larger than 4 MiB";
    QTest::newRow("64 MiB") << riff(tail) << qint64(64) * kMiB << "larger than 4 MiB";
    QTest::newRow("chunk past the end") << riff(pcm16 + chunk("data", second)).chopped(1) << qint64(0)
                                        << "a chunk runs past the end of the file";
    QTest::newRow("data before fmt") << riff(chunk("data", second) + pcm16) << qint64(0)
                                     << "no fmt chunk before the data";
}

void TestSoundDevice::limitsOfACue()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, sparseSize);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString path = dir.filePath(kStartOverCue);
    writeFile(path, content);
    if (sparseSize > 0)
        QVERIFY(QFile::resize(path, sparseSize));
    EffectSoundDevice device({dir.path()});
    const QString resolved = played(device, kStartOverCue);
    if (why.isEmpty()) {
        QCOMPARE(resolved, path);
        QCOMPARE(device.refusal(), QString());
    } else {
        QCOMPARE(resolved, QString());
        // The one line on stderr names the file and why.
        QCOMPARE(device.refusal(), QStringLiteral("tavelk: %1: not played: %2").arg(path, why));
    }
}

void TestSoundDevice::aChangedFileIsReadAgain()
{
    // Read once per change, not per cue: the file is looked at again only
    // when it is a different file from the one last read.
    QTemporaryDir dir;
    const QString path = dir.filePath(kStartOverCue);
    writeFile(path, "not a wave");
    EffectSoundDevice device({dir.path()});
    QCOMPARE(played(device, kStartOverCue), QString());
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(kEndCue), path));
    QCOMPARE(played(device, kStartOverCue), path);
}

QTEST_MAIN(TestSoundDevice)
#include "tst_sounddevice.moc"
