// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/experiment.h"
#include "core/mainwindowcontroller.h"
#include "fakes.h"

#include <QtTest>
#include <memory>

using Label = MainView::Label;

namespace {

// A main window controller wired to fakes, with its own experiment record.
struct Rig {
    explicit Rig(bool failingSound = false)
        : shared(std::make_unique<Module1>()), sound(log, failingSound), confirmation(log), windows(log)
    {
        reload();
    }

    // A fresh main window on the same shared record, as after help.
    void reload()
    {
        view = std::make_unique<FakeView>();
        controller = std::make_unique<MainWindowController>(
            *view, *shared, MainWindowController::Services{cards, sound, confirmation, windows});
    }

    void fire(const QString &event)
    {
        auto &c = *controller;
        if (event == u"load")
            c.Form_Load();
        else if (event == u"draw")
            c.Command1_Click();
        else if (event == u"shuffle")
            c.Command2_Click();
        else if (event == u"exit")
            c.Command3_Click();
        else if (event == u"start")
            c.Command4_Click();
        else if (event == u"stop")
            c.Command5_Click();
        else if (event == u"init")
            c.Command6_Click();
        else if (event == u"graph")
            c.Command7_Click();
        else if (event == u"help")
            c.Command8_Click();
        else if (event == u"tick")
            c.Timer1_Timer();
        else
            QFAIL(qPrintable(QStringLiteral("unknown event ") + event));
    }

    void fireAll(const QString &events)
    {
        for (const QString &e : events.split(QLatin1Char(','), Qt::SkipEmptyParts))
            fire(e);
    }

    void handDraws(int count, std::int16_t card)
    {
        for (int i = 0; i < count; ++i) {
            cards.queue.push_back(card);
            fireAll(QStringLiteral("shuffle,tick,draw"));
        }
    }

    QString text(Label l) const { return view->text(l); }

    std::unique_ptr<Module1> shared;
    EventLog log;
    ScriptedCards cards;
    RecordingSound sound;
    FakeConfirmation confirmation;
    FakeWindows windows;
    std::unique_ptr<FakeView> view;
    std::unique_ptr<MainWindowController> controller;
};

const QStringList kStartOverRequests{"stop", "close", "file pinpon.wav", "open", "sound"};

} // namespace

class TestController : public QObject {
    Q_OBJECT
private slots:
    void startUp();
    void stateTable_data();
    void stateTable();
    void handDraws_data();
    void handDraws();
    void drawBeforeFirstTickCountsTheAce();
    void runContinuesHandCount();
    void runFromZeroEndsAtThousand();
    void runAfterThousandHandDrawsCountsNothing();
    void everyTickShowsOneCard();
    void initialiseKeepsHistory();
    void helpAndBackStartsAfresh();
    void exitAnswers_data();
    void exitAnswers();
    void failingSoundNeverStopsAHandler_data();
    void failingSoundNeverStopsAHandler();
    void handCountStopsAtItsWidth();
};

void TestController::startUp()
{
    Rig rig;
    rig.fire(QStringLiteral("load"));
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("-+++---+"));
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("0"));
    QCOMPARE(rig.text(Label::Label4), QStringLiteral("0"));
    QCOMPARE(rig.text(Label::Label6), QString());
    QCOMPARE(rig.text(Label::Label7), QStringLiteral("0.3076923"));
    QCOMPARE(rig.view->visibleCount(), 1);
    QCOMPARE(rig.view->firstVisible(), 1);
    QVERIFY(!rig.view->timerRunning);
    QCOMPARE(rig.controller->record().currentCard, 0);
    QCOMPARE(rig.controller->record().runMode, -1);
}

void TestController::stateTable_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<bool>("timer");
    QTest::addColumn<int>("runMode");

    // clang-format off
    QTest::newRow("load") << "" << "load" << "-+++---+" << false << -1;
    QTest::newRow("shuffle from ready") << "load" << "shuffle" << "+-------" << true << -1;
    QTest::newRow("draw") << "load,shuffle,tick" << "draw" << "-+++-+-+" << false << -1;
    QTest::newRow("shuffle from drawn") << "load,shuffle,tick,draw" << "shuffle" << "+-------" << true << -1;
    QTest::newRow("start from ready") << "load" << "start" << "----+---" << true << 1;
    QTest::newRow("start from drawn") << "load,shuffle,tick,draw" << "start" << "----+---" << true << 1;
    QTest::newRow("counted tick") << "load,start" << "tick" << "----+-+-" << true << 1;
    QTest::newRow("shuffling tick") << "load,shuffle" << "tick" << "+-------" << true << -1;
    QTest::newRow("stop") << "load,start,tick" << "stop" << "--+--+++" << false << -1;
    QTest::newRow("stop before a tick") << "load,start" << "stop" << "--+--+++" << false << -1;
    QTest::newRow("initialise after stop") << "load,start,tick,stop" << "init" << "-+++---+" << false << -1;
    QTest::newRow("initialise after draw") << "load,shuffle,tick,draw" << "init" << "-+++---+" << false << -1;
    QTest::newRow("graph changes nothing") << "load,start,tick,stop" << "graph" << "--+--+++" << false << -1;
    QTest::newRow("exit answered No") << "load,shuffle,tick,draw" << "exit" << "-+++-+-+" << false << -1;
    // clang-format on
}

void TestController::stateTable()
{
    QFETCH(QString, before);
    QFETCH(QString, event);
    QFETCH(QString, buttons);
    QFETCH(bool, timer);
    QFETCH(int, runMode);

    Rig rig;
    rig.fireAll(before);
    rig.fire(event);
    QCOMPARE(rig.view->buttonMask(), buttons);
    QCOMPARE(rig.view->timerRunning, timer);
    QCOMPARE(int(rig.controller->record().runMode), runMode);
}

void TestController::handDraws_data()
{
    QTest::addColumn<QList<int>>("cards");
    QTest::addColumn<QString>("draws");
    QTest::addColumn<QString>("multiples");
    QTest::addColumn<QString>("ratio");

    // clang-format off
    QTest::newRow("a three counts") << QList<int>{3} << "1" << "1" << "1.0000000";
    QTest::newRow("an ace does not") << QList<int>{1} << "1" << "0" << "0.0000000";
    QTest::newRow("queen of diamonds counts") << QList<int>{51} << "1" << "1" << "1.0000000";
    QTest::newRow("king of spades does not") << QList<int>{13} << "1" << "0" << "0.0000000";
    QTest::newRow("one in three") << QList<int>{3, 1, 2} << "3" << "1" << "0.3333333";
    QTest::newRow("two in three") << QList<int>{3, 19, 40} << "3" << "2" << "0.6666667";
    // clang-format on
}

void TestController::handDraws()
{
    QFETCH(QList<int>, cards);
    QFETCH(QString, draws);
    QFETCH(QString, multiples);
    QFETCH(QString, ratio);

    Rig rig;
    rig.fire(QStringLiteral("load"));
    for (int card : cards)
        rig.handDraws(1, std::int16_t(card));
    QCOMPARE(rig.text(Label::Label3), draws);
    QCOMPARE(rig.text(Label::Label4), multiples);
    QCOMPARE(rig.text(Label::Label6), ratio);
    const int n = draws.toInt();
    QCOMPARE(rig.shared->ratioHistory[n], float(double(multiples.toInt()) / n));
}

void TestController::drawBeforeFirstTickCountsTheAce()
{
    Rig rig;
    rig.fireAll(QStringLiteral("load,shuffle,draw"));
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("1"));
    QCOMPARE(rig.text(Label::Label4), QStringLiteral("0"));
    QCOMPARE(rig.text(Label::Label6), QStringLiteral("0.0000000"));
}

void TestController::runContinuesHandCount()
{
    Rig rig;
    rig.fire(QStringLiteral("load"));
    rig.handDraws(5, 3);
    rig.cards.queue.push_back(1);
    rig.fireAll(QStringLiteral("start,tick"));
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("6"));
    QCOMPARE(rig.text(Label::Label4), QStringLiteral("5"));
    QCOMPARE(rig.text(Label::Label6), QStringLiteral("0.8333333"));
}

void TestController::runFromZeroEndsAtThousand()
{
    Rig rig;
    rig.fireAll(QStringLiteral("load,start"));
    // Every fourth card a six, the rest aces: 250 multiples in 1000.
    for (int i = 0; i < 1000; ++i) {
        rig.cards.queue.push_back(i % 4 == 0 ? 6 : 1);
        rig.fire(QStringLiteral("tick"));
        QVERIFY(rig.view->timerRunning);
    }
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("1000"));
    QCOMPARE(rig.controller->record().multipleCount, 250);
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("----+-+-"));

    // The next tick shows a card, counts nothing and ends the run.
    rig.cards.queue.push_back(6);
    rig.fire(QStringLiteral("tick"));
    QVERIFY(!rig.view->timerRunning);
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("--+--+++"));
    QCOMPARE(rig.shared->autoDrawCount, 1000);
    QCOMPARE(rig.controller->record().multipleCount, 250);
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("1000"));
    QCOMPARE(rig.text(Label::Label4), QStringLiteral("250"));
    QCOMPARE(rig.text(Label::Label6), QStringLiteral("0.2500000"));
    QCOMPARE(rig.shared->ratioHistory[1000], 0.25f);
    QCOMPARE(rig.shared->ratioHistory[1001], 0.0f);
    QCOMPARE(rig.controller->record().runMode, -1);
    QCOMPARE(rig.view->firstVisible(), 6);
}

void TestController::runAfterThousandHandDrawsCountsNothing()
{
    Rig rig;
    rig.fire(QStringLiteral("load"));
    rig.handDraws(1000, 12);
    rig.cards.queue.push_back(3);
    rig.fireAll(QStringLiteral("start,tick"));
    QVERIFY(!rig.view->timerRunning);
    QCOMPARE(rig.shared->autoDrawCount, 1000);
    QCOMPARE(rig.controller->record().multipleCount, 1000);
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("1000"));
    QCOMPARE(rig.text(Label::Label6), QStringLiteral("1.0000000"));
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("--+--+++"));
}

void TestController::everyTickShowsOneCard()
{
    Rig rig;
    rig.fireAll(QStringLiteral("load,shuffle"));
    for (std::int16_t card : {52, 1, 27, 27, 13, 14}) {
        rig.cards.queue.push_back(card);
        rig.fire(QStringLiteral("tick"));
        QCOMPARE(rig.view->visibleCount(), 1);
        QCOMPARE(rig.view->firstVisible(), int(card));
        QCOMPARE(rig.controller->record().currentCard, card);
    }
}

void TestController::initialiseKeepsHistory()
{
    Rig rig;
    rig.fireAll(QStringLiteral("load,start"));
    for (int i = 0; i < 20; ++i) {
        rig.cards.queue.push_back(std::int16_t(i % 3 + 1));
        rig.fire(QStringLiteral("tick"));
    }
    rig.fire(QStringLiteral("stop"));
    const auto history = rig.shared->ratioHistory;
    rig.log.entries.clear();

    rig.fire(QStringLiteral("init"));
    QVERIFY(rig.shared->ratioHistory == history);
    QCOMPARE(rig.log.entries, kStartOverRequests);
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("0"));
    QCOMPARE(rig.text(Label::Label4), QStringLiteral("0"));
    QCOMPARE(rig.text(Label::Label6), QString());
    QCOMPARE(rig.view->visibleCount(), 1);
    QCOMPARE(rig.view->firstVisible(), 1);
    QCOMPARE(rig.shared->autoDrawCount, 0);
    QCOMPARE(rig.shared->manualDrawCount, std::int16_t(0));
    QCOMPARE(rig.controller->record().currentCard, 0);
}

void TestController::helpAndBackStartsAfresh()
{
    Rig rig;
    rig.fire(QStringLiteral("load"));
    rig.handDraws(3, 9);
    rig.fireAll(QStringLiteral("start,tick,tick,stop"));
    const auto history = rig.shared->ratioHistory;
    rig.log.entries.clear();

    rig.fire(QStringLiteral("help"));
    QCOMPARE(rig.log.entries, kStartOverRequests + QStringList{"help"});

    rig.reload();
    rig.fire(QStringLiteral("load"));
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("0"));
    QCOMPARE(rig.text(Label::Label4), QStringLiteral("0"));
    QCOMPARE(rig.shared->autoDrawCount, 0);
    QCOMPARE(rig.shared->manualDrawCount, std::int16_t(0));
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("-+++---+"));
    QVERIFY(rig.shared->ratioHistory == history);
}

void TestController::exitAnswers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("later"); // answered from a later event, as a page's dialog does
    QTest::addColumn<QStringList>("effects");
    const QStringList endCue{"stop", "close", "file endpinpon.wav", "open", "sound"};
    for (const bool later : {false, true}) {
        const char *when = later ? "later" : "at once";
        QTest::addRow("no, %s", when) << int(ExitConfirmation::kNo) << later << endCue + QStringList{"ask"};
        QTest::addRow("yes, %s", when) << int(ExitConfirmation::kYes) << later << endCue + QStringList{"ask", "end"};
    }
}

void TestController::exitAnswers()
{
    QFETCH(int, answer);
    QFETCH(bool, later);
    QFETCH(QStringList, effects);

    Rig rig;
    rig.fire(QStringLiteral("load"));
    rig.handDraws(2, 6);
    const QString buttons = rig.view->buttonMask();
    const auto labels = rig.view->labels;
    rig.log.entries.clear();
    rig.confirmation.answer = answer;
    rig.confirmation.deferred = later;

    rig.fire(QStringLiteral("exit"));
    if (later) {
        // Until the answer comes, the question is all that has happened.
        QCOMPARE(rig.log.entries, effects.mid(0, effects.indexOf(u"ask") + 1));
        rig.confirmation.pending(answer);
    }
    QCOMPARE(rig.log.entries, effects);
    QCOMPARE(rig.controller->record().exitAnswer, answer);
    QCOMPARE(rig.view->buttonMask(), buttons);
    QVERIFY(rig.view->labels == labels);
    QVERIFY(!rig.view->timerRunning);
}

void TestController::failingSoundNeverStopsAHandler_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("after");
    // clang-format off
    QTest::newRow("initialise") << "init" << "ready";
    QTest::newRow("help") << "help" << "help";
    QTest::newRow("exit") << "exit" << "ask";
    // clang-format on
}

void TestController::failingSoundNeverStopsAHandler()
{
    QFETCH(QString, event);
    QFETCH(QString, after);

    Rig rig(/*failingSound=*/true);
    rig.fire(QStringLiteral("load"));
    rig.handDraws(2, 3);
    rig.log.entries.clear();
    rig.fire(event);
    // The player threw at its first request; the handler still went on.
    QCOMPARE(rig.log.entries.first(), QStringLiteral("stop"));
    if (after == u"ready") {
        QCOMPARE(rig.view->buttonMask(), QStringLiteral("-+++---+"));
        QCOMPARE(rig.text(Label::Label3), QStringLiteral("0"));
    } else {
        QCOMPARE(rig.log.entries.last(), after);
    }
}

void TestController::handCountStopsAtItsWidth()
{
    Rig rig;
    rig.fire(QStringLiteral("load"));
    rig.shared->manualDrawCount = 32765;
    rig.handDraws(1, 3);
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("32766"));
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("-+++-+-+"));

    // The draw that fills the count leaves no way to another hand draw.
    rig.handDraws(1, 3);
    QCOMPARE(rig.shared->manualDrawCount, std::int16_t(32767));
    QCOMPARE(rig.text(Label::Label3), QStringLiteral("32767"));
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("--++-+-+"));
    QCOMPARE(rig.shared->ratioHistory[32767], float(2.0 / 32767));

    // A run from there ends on its first tick, inside the history's bounds.
    rig.fireAll(QStringLiteral("start,tick"));
    QCOMPARE(rig.shared->autoDrawCount, 32767);
    QVERIFY(!rig.view->timerRunning);

    // Initialise makes hand draws possible again.
    rig.fire(QStringLiteral("init"));
    QCOMPARE(rig.view->buttonMask(), QStringLiteral("-+++---+"));
}

QTEST_APPLESS_MAIN(TestController)
#include "tst_controller.moc"
