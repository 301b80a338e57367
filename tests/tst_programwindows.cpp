// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/cardrules.h"
#include "expected.h"
#include "ui/common/fonts.h"
#include "ui/common/screenplacement.h"
#include "ui/graph/form2.h"
#include "ui/help/form4.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"
#include "windowtesting.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

// Runs the event loop until the condition holds, checking it after every
// event batch rather than sleeping, so a 1 ms timer keeps its pace.
template <typename Condition>
bool runUntil(Condition done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        loop.processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Swallows the deferred deletion of the objects it filters.
struct HoldDeletion : QObject {
    int held = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        const bool deletion = event->type() == QEvent::DeferredDelete;
        held += deletion ? 1 : 0;
        return deletion;
    }
};

// Records a label's text each time it is painted.
struct PaintedTexts : QObject {
    explicit PaintedTexts(QLabel *label) : label(label) { label->installEventFilter(this); }
    QLabel *label;
    QStringList texts;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            texts << label->text();
        return false;
    }
};

// Answers the next modal box with the given button once it is up.
void answerBox(QMessageBox::StandardButton answer, QString *title, QString *text, QStringList *buttons)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        *title = box->windowTitle();
        *text = box->text() + (box->icon() == QMessageBox::NoIcon ? QString() : QStringLiteral(" [icon]"));
        for (QAbstractButton *b : box->buttons())
            *buttons << b->text() + (b == box->defaultButton() ? QStringLiteral("*") : QString());
        QTest::mouseClick(box->button(answer), Qt::LeftButton);
    });
    poll->start();
}

} // namespace

class TestProgramWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fullRunOnTheRealTimer();
    void graphIsCreatedThenRaised();
    void placedOnTheScreen_data();
    void placedOnTheScreen();
    void helpAndBack();
    void helpAndBackKeepsTheProgramRunning();
    void exitAnsweredNo();
    void exitAnsweredYes();
    void closingTheMainWindowStopsItsTimer();
    void closingHelpByItsFrameLeavesNoWindow();
};

void TestProgramWindows::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestProgramWindows::fullRunOnTheRealTimer()
{
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    PaintedTexts painted(form->label(3));
    form->command(4)->click();
    QVERIFY(form->timer1().isActive());

    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(runUntil([&] { return !form->timer1().isActive(); }));
    qInfo("1000-draw run took %lld ms on the real timer", elapsed.elapsed());

    QCOMPARE(rig.record->autoDrawCount, 1000);
    QCOMPARE(form->label(3)->text(), QStringLiteral("1000"));
    // Repaints are held to one a frame during the run, never dropped: the
    // last count is on the screen once the run is over.
    QTRY_COMPARE(painted.texts.value(painted.texts.size() - 1), QStringLiteral("1000"));
    qInfo("the draw count was painted %lld times in the run", qlonglong(painted.texts.size()));
    const int multiples = form->controller().record().multipleCount;
    QCOMPARE(form->label(4)->text(), QString::number(multiples));
    QCOMPARE(rig.record->ratioHistory[1000], float(multiples / 1000.0));
    QCOMPARE(form->label(6)->text(), QString::fromStdString(CardRules::formatRatio(rig.record->ratioHistory[1000])));
    QCOMPARE(form->cards()->visibleCount(), 1);
    QCOMPARE(enabledMask(form), QStringLiteral("--+--+++"));
    // A sound run of 1000 draws lands well inside the binomial spread of 16/52.
    QVERIFY2(multiples > 240 && multiples < 380, qPrintable(QString::number(multiples)));
}

void TestProgramWindows::graphIsCreatedThenRaised()
{
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QVERIFY(!rig.windows.form2());
    form->command(4)->click();
    QVERIFY(runUntil([&] { return form->command(7)->isEnabled(); }));
    form->command(7)->click(); // usable during the run
    QPointer<Form2> graph = rig.windows.form2();
    QVERIFY(graph && graph->isVisible());
    QCOMPARE(graph->geometry(), Expected::kGraphWindow.client);
    form->command(5)->click();
    form->command(7)->click();
    QCOMPARE(rig.windows.form2(), graph.data());

    // Closed, the graph window is forgotten at once, though Qt deletes it
    // only back in the event loop; the button then builds a fresh one.
    graph->Command1_Click();
    QVERIFY(!rig.windows.form2());
    QVERIFY(graph && graph->isHidden());
    QVERIFY(form->isVisible());
    form->command(7)->click();
    QVERIFY(rig.windows.form2() && rig.windows.form2() != graph.data());
    QVERIFY(rig.windows.form2()->isVisible());
    QTRY_VERIFY(!graph);
}

// A 1280 x 800 screen at the scales a desktop offers, in the pixels Qt lays
// windows out in; a window manager's frame where one is known.
void TestProgramWindows::placedOnTheScreen_data()
{
    QTest::addColumn<QRect>("designed");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QPoint>("placed");
    const QRect main = Expected::kMainWindow.client;
    const QRect graph = Expected::kGraphWindow.client;
    const QRect help = Expected::kHelpWindow.client;
    const QRect scale1(0, 0, 1280, 800), scale15(0, 0, 853, 533), scale2(0, 0, 640, 400);
    const QMargins none, titled(1, 20, 1, 1);
    QTest::newRow("main, scale 1") << main << scale1 << none << main.topLeft();
    QTest::newRow("graph, scale 1") << graph << scale1 << titled << graph.topLeft();
    QTest::newRow("help, scale 1") << help << scale1 << titled << help.topLeft();
    QTest::newRow("main, scale 1.5") << main << scale15 << none << main.topLeft();
    QTest::newRow("graph, scale 1.5") << graph << scale15 << none << QPoint(203, 113);
    QTest::newRow("help, scale 1.5") << help << scale15 << none << QPoint(232, 45);
    QTest::newRow("main, scale 2") << main << scale2 << none << QPoint(72, 49);
    QTest::newRow("main, scale 2, framed") << main << scale2 << titled << QPoint(71, 48);
    QTest::newRow("graph, scale 2") << graph << scale2 << none << QPoint(0, 22);
    QTest::newRow("help, scale 2, framed") << help << scale2 << titled << QPoint(69, 20);
    QTest::newRow("panel on the left") << main << QRect(240, 0, 1040, 800) << none << QPoint(240, 136);
}

void TestProgramWindows::placedOnTheScreen()
{
    QFETCH(QRect, designed);
    QFETCH(QRect, available);
    QFETCH(QMargins, frame);
    QFETCH(QPoint, placed);
    QCOMPARE(ScreenPlacement::fitted(designed, frame, available), placed);
}

void TestProgramWindows::helpAndBack()
{
    ProgramRig rig;
    QPointer<Form1> first = rig.windows.showMainWindow();
    first->command(4)->click();
    QVERIFY(runUntil([&] { return rig.record->autoDrawCount >= 20; }));
    first->command(5)->click();
    const auto history = rig.record->ratioHistory;
    rig.log.entries.clear();

    first->command(8)->click();
    QVERIFY(!rig.windows.form1());
    QVERIFY(first && first->isHidden() && !first->timer1().isActive());
    QCOMPARE(rig.log.entries, (QStringList{"stop", "close", "file pinpon.wav", "open", "sound"}));
    QPointer<Form4> help = rig.windows.form4();
    QVERIFY(help && help->isVisible());

    help->Command1_Click();
    QVERIFY(!rig.windows.form4());
    QVERIFY(help && help->isHidden());
    Form1 *second = rig.windows.form1();
    QVERIFY(second && second != first.data() && second->isVisible());
    // A second click on the closing help window brings up no second main window.
    help->Command1_Click();
    QCOMPARE(rig.windows.form1(), second);
    QTRY_VERIFY(!first && !help);
    QCOMPARE(second->label(3)->text(), QStringLiteral("0"));
    QCOMPARE(second->label(4)->text(), QStringLiteral("0"));
    QCOMPARE(second->label(6)->text(), QString());
    QCOMPARE(enabledMask(second), QStringLiteral("-+++---+"));
    QCOMPARE(rig.record->autoDrawCount, 0);
    QVERIFY(rig.record->ratioHistory == history);
}

void TestProgramWindows::helpAndBackKeepsTheProgramRunning()
{
    // Quitting on the last closed window only happens inside exec().
    ProgramRig rig;
    rig.windows.showMainWindow();
    QTimer::singleShot(0, [&] {
        rig.windows.form1()->command(8)->click();
        QTimer::singleShot(0, [&] { rig.windows.form4()->Command1_Click(); });
    });
    QTimer::singleShot(300, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 99);
    QVERIFY(rig.windows.form1() && rig.windows.form1()->isVisible());
}

void TestProgramWindows::exitAnsweredNo()
{
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    const QString before = enabledMask(form);
    QString title, text;
    QStringList buttons;
    answerBox(QMessageBox::No, &title, &text, &buttons);
    form->command(3)->click();
    const Expected::ExitBox &box = Expected::kExitBox;
    QCOMPARE(title, QString::fromUtf16(box.title));
    QCOMPARE(text, QString::fromUtf16(box.question));
    QCOMPARE(buttons.size(), 2);
    QVERIFY(buttons.contains(QString::fromUtf16(box.yes) + u'*'));
    QVERIFY(buttons.contains(QString::fromUtf16(box.no)));
    QCOMPARE(rig.log.entries.value(2), QStringLiteral("file endpinpon.wav"));
    QVERIFY(form->isVisible());
    QCOMPARE(enabledMask(form), before);
    QCOMPARE(form->controller().record().exitAnswer, ExitConfirmation::kNo);
}

void TestProgramWindows::exitAnsweredYes()
{
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QString title, text;
    QStringList buttons;
    QEventLoop mainLoop;
    QTimer::singleShot(0, form->command(3), &QPushButton::click);
    answerBox(QMessageBox::Yes, &title, &text, &buttons);
    QTimer::singleShot(20000, &mainLoop, [&] { mainLoop.exit(99); });
    QCOMPARE(mainLoop.exec(), 0);
    QCOMPARE(form->controller().record().exitAnswer, ExitConfirmation::kYes);
}

void TestProgramWindows::closingTheMainWindowStopsItsTimer()
{
    ProgramRig rig;
    QPointer<Form1> form = rig.windows.showMainWindow();
    form->command(4)->click();
    QVERIFY(runUntil([&] { return rig.record->autoDrawCount >= 10; }));
    // The timer stops with the close, not with the deletion: the closed
    // window is kept from being deleted while events run for a while, so a
    // timer still running would tick.
    HoldDeletion hold;
    form->installEventFilter(&hold);
    form->close();
    QVERIFY(!rig.windows.form1());
    QVERIFY(form && form->isHidden());
    QVERIFY(!form->timer1().isActive());
    const int count = rig.record->autoDrawCount;
    QElapsedTimer waited;
    waited.start();
    QVERIFY(runUntil([&] { return waited.elapsed() >= 50; }));
    QVERIFY(hold.held > 0 && form);
    QCOMPARE(rig.record->autoDrawCount, count);
    delete form.data();
}

void TestProgramWindows::closingHelpByItsFrameLeavesNoWindow()
{
    ProgramRig rig;
    rig.windows.showMainWindow()->command(8)->click();
    QPointer<Form4> help = rig.windows.form4();
    QVERIFY(help);
    QTimer::singleShot(0, help, &QWidget::close);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!rig.windows.form4());
    QVERIFY(!rig.windows.form1());
    QTRY_VERIFY(!help);
}

QTEST_MAIN(TestProgramWindows)
#include "tst_programwindows.moc"
