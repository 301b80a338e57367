// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The program under conditions it does not choose: no audio device, a modal
// box in the way, long sessions.

#include "core/soundcue.h"
#include "sound/effectsounddevice.h"
#include "ui/common/fonts.h"
#include "ui/help/form4.h"
#include "ui/main/form1.h"
#include "windowtesting.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define TAVELK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVELK_UNDER_ASAN 1
#endif
#endif

namespace {

// A click as the window system delivers it, so modality applies.
void systemClick(Form1 *form, int button)
{
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, form->command(button)->geometry().center());
}

// Resident set size from /proc, in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * 4096;
}

// Bytes of the heap in use: what the program still holds, whatever the
// allocator keeps mapped.
qint64 heapInUse()
{
    return qint64(mallinfo2().uordblks);
}

// The program's windows with the real sound player.
struct SoundRig {
    SoundRig() : record(std::make_unique<Module1>()), windows(*record, sound, clock) {}
    std::unique_ptr<Module1> record;
    EffectSoundDevice sound;
    SystemClock clock;
    ProgramWindows windows;
};

// One automatic run to its end at full speed: the ticks are delivered here,
// and the event loop only runs once the timer has stopped.
void fullRun(Form1 *form)
{
    form->command(4)->click();
    int guard = 0;
    while (form->timer1().isActive() && ++guard < 5000)
        form->controller().Timer1_Timer();
    QCoreApplication::processEvents();
}

} // namespace

class TestRobustness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cuesWorkWithoutAnAudioDevice();
    void handlersGoOnWithRealCues_data();
    void handlersGoOnWithRealCues();
    void exitBoxHoldsOffClicksOnTheMainWindow_data();
    void exitBoxHoldsOffClicksOnTheMainWindow();
    void memoryStaysFlatOverManyRuns();
    void memoryStaysFlatOverHelpAndBack();
};

void TestRobustness::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestRobustness::cuesWorkWithoutAnAudioDevice()
{
    // Test machines have no sound server; where one exists this still holds.
    EffectSoundDevice device;
    for (int i = 0; i < 20; ++i) {
        const Cue cue = i % 2 ? Cue::End : Cue::StartOver;
        SoundCue(device, cue); // every call returns
        QTRY_VERIFY(device.idle());
        QCOMPARE(QFileInfo(device.resolvedPath()).fileName(), cue == Cue::End ? kEndCue : kStartOverCue);
    }
}

void TestRobustness::handlersGoOnWithRealCues_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("buttonsAfter");
    QTest::newRow("initialise") << 6 << "-+++---+";
    QTest::newRow("help") << 8 << "help";
}

void TestRobustness::handlersGoOnWithRealCues()
{
    QFETCH(int, button);
    QFETCH(QString, buttonsAfter);
    SoundRig rig;
    QPointer<Form1> form = rig.windows.showMainWindow();
    fullRun(form);
    QCOMPARE(enabledMask(form), QStringLiteral("--+--+++"));
    form->command(button)->click();
    if (buttonsAfter == u"help") {
        QVERIFY(!rig.windows.form1());
        QVERIFY(rig.windows.form4() && rig.windows.form4()->isVisible());
    } else {
        QCOMPARE(enabledMask(form), buttonsAfter);
        QCOMPARE(form->label(3)->text(), QStringLiteral("0"));
    }
}

void TestRobustness::exitBoxHoldsOffClicksOnTheMainWindow_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("buttons");
    // clang-format off
    QTest::newRow("ready") << "" << "-+++---+";
    QTest::newRow("after a draw") << "2,1" << "-+++-+-+";
    QTest::newRow("run ended") << "4,run" << "--+--+++";
    QTest::newRow("run stopped") << "4,5" << "--+--+++";
    // clang-format on
}

void TestRobustness::exitBoxHoldsOffClicksOnTheMainWindow()
{
    QFETCH(QString, before);
    QFETCH(QString, buttons);
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    for (const QString &step : before.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (step == u"run")
            fullRun(form);
        else
            form->command(step.toInt())->click();
    }
    QCOMPARE(enabledMask(form), buttons);
    QVERIFY(!form->timer1().isActive());
    const QString draws = form->label(3)->text();

    bool boxSeen = false;
    QStringList ignored;
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        boxSeen = true;
        // Every button of the main window, clicked where it stands.
        for (int b = 1; b <= 8; ++b) {
            const QString maskBefore = enabledMask(form);
            systemClick(form, b);
            if (enabledMask(form) != maskBefore || form->timer1().isActive() || rig.windows.form4()
                || rig.windows.form2())
                ignored << QStringLiteral("Command%1 reached the window").arg(b);
        }
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    poll->start();
    rig.log.entries.clear();
    form->command(3)->click();
    QVERIFY(boxSeen);
    QVERIFY2(ignored.isEmpty(), qPrintable(ignored.join(QLatin1Char(';'))));
    // Only the exit cue was asked for: no second box, no start-over cue.
    QCOMPARE(rig.log.entries, (QStringList{"stop", "close", "file endpinpon.wav", "open", "sound"}));
    QCOMPARE(enabledMask(form), buttons);
    QCOMPARE(form->label(3)->text(), draws);
    QVERIFY(!form->timer1().isActive());

    // With the box gone the same kind of click gets through again.
    const int open = form->command(2)->isEnabled() ? 2 : 6;
    systemClick(form, open);
    QVERIFY(enabledMask(form) != buttons);
}

void TestRobustness::memoryStaysFlatOverManyRuns()
{
#ifdef TAVELK_UNDER_ASAN
    QSKIP("AddressSanitizer holds freed memory in quarantine; LeakSanitizer checks this build instead");
#endif
    SoundRig rig;
    Form1 *form = rig.windows.showMainWindow();
    auto runs = [&](int count) {
        for (int i = 0; i < count; ++i) {
            fullRun(form);
            QCOMPARE(form->label(3)->text(), QStringLiteral("1000"));
            form->command(6)->click(); // initialise, with its cue
            QCoreApplication::processEvents();
        }
    };
    runs(10); // warm-up: caches, the audio backend, the first paints
    const qint64 before = residentBytes();
    QVERIFY(before > 0);
    runs(100);
    const qint64 after = residentBytes();
    qInfo("RSS %lld KiB before, %lld KiB after 100 runs", before / 1024, after / 1024);
    QVERIFY2(after - before < 2 * 1024 * 1024,
             qPrintable(QStringLiteral("grew by %1 KiB").arg((after - before) / 1024)));
}

// Run on the X platform too (the ctest entry tst_robustness_x11), where each
// window hands its icon to the window system.
void TestRobustness::memoryStaysFlatOverHelpAndBack()
{
#ifdef TAVELK_UNDER_ASAN
    QSKIP("AddressSanitizer holds freed memory in quarantine; LeakSanitizer checks this build instead");
#endif
    SoundRig rig;
    rig.windows.showMainWindow();
    auto cycles = [&](int count) {
        for (int i = 0; i < count; ++i) {
            rig.windows.form1()->command(8)->click();
            QVERIFY(rig.windows.form4());
            rig.windows.form4()->Command1_Click();
            // The windows are deleted, as the program's loop would delete them,
            // before memory is measured.
            flushDeferredDeletes();
            QVERIFY(rig.windows.form1());
            QVERIFY(!rig.windows.form4());
        }
    };
    cycles(20);
    const qint64 before = heapInUse();
    const qint64 residentBefore = residentBytes();
    cycles(500);
    const qint64 after = heapInUse();
    qInfo("heap in use %lld bytes before, %lld after 500 help-and-back cycles (RSS %lld KiB, then %lld KiB)", before,
          after, residentBefore / 1024, residentBytes() / 1024);
    // Something kept per window, even a small icon, would add over 1 MB.
    QVERIFY2(after - before < 256 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg((after - before) / 1024)));
}

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
