// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Model-based random testing of the main window.
//
// A small model of the main window, written from its state table and not from
// the controller, runs side by side with the real controller. A seeded driver
// fires every kind of event at both, enabled or not, and after each event the
// two must agree. Set TAVELK_SEED to replay a single seed (both driver modes),
// TAVELK_EVENTS to change the number of events per seed.

#include "core/cardrules.h"
#include "core/experiment.h"
#include "core/mainwindowcontroller.h"
#include "fakes.h"
#include "ui/common/fonts.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"
#include "windowtesting.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <utility>
#include <vector>

using Label = MainView::Label;

namespace {

constexpr int kHandLimit = 32767; // the hand count is 16 bits wide
constexpr int kRun = 1000;
constexpr int kHistoryLast = 100000;

enum class State { Ready, Shuffling, Drawn, Running, Finished, Help };

const char *stateName(State s)
{
    static const char *const names[] = {"Ready", "Shuffling", "Drawn", "Running", "Finished", "Help"};
    return names[static_cast<int>(s)];
}

// --------------------------------------------------------------------------
// The model. Each button handler is one row of the state table: per button
// '+' enables, '-' disables, '.' leaves it alone.

struct Model {
    std::array<bool, 9> enabled{}; // [1..8]
    bool timer = false;
    int runMode = -1;
    State state = State::Help; // no window until the first load
    int manual = 0;
    int autoCount = 0;
    int multiples = 0;
    int card = 0;       // 0: no tick yet, face 1 is on show
    int shownDraws = 0; // Label3
    QString shownRatio; // Label6
    int lastIndex = 0;  // history slot written last, 0 before any
    int writtenNow = 0; // history slot written by the current event
    std::vector<float> history = std::vector<float>(Module1::kHistorySize, 0.0f);
    QStringList effects; // requests to sound and windows, in order
    QString fault;       // set when the model reaches a state it rules out

    void row(const char (&buttons)[9])
    {
        for (int b = 1; b <= 8; ++b) {
            if (buttons[b - 1] == '+')
                enabled[b] = true;
            else if (buttons[b - 1] == '-')
                enabled[b] = false;
        }
    }

    static bool isMultiple(int index)
    {
        int rank = index % 13;
        if (rank == 0)
            rank = 13;
        return rank % 3 == 0;
    }

    void store(int n)
    {
        if (n < 1 || n > kHistoryLast) {
            fault = QStringLiteral("history index %1 out of 1..100000").arg(n);
            return;
        }
        history[n] = static_cast<float>(double(multiples) / double(n));
        shownRatio = QString::fromStdString(CardRules::formatRatio(history[n]));
        lastIndex = writtenNow = n;
    }

    // clang-format off
    void startOverCue() { effects << "stop" << "close" << "file pinpon.wav" << "open" << "sound"; }
    // clang-format on

    // A fresh main window in its designed state, then Form_Load.
    void load()
    {
        enabled.fill(true);
        timer = false;
        shownRatio.clear();
        runMode = -1;
        manual = autoCount = multiples = 0;
        card = 0;
        shownDraws = 0;
        row("-+..---.");
        state = State::Ready;
    }

    void click(int b)
    {
        if (state == State::Help || !enabled[b])
            return; // a disabled button ignores the click
        switch (b) {
        case 1: // draw
            if (manual >= kHandLimit) {
                fault = QStringLiteral("hand draw offered at the count's limit");
                return;
            }
            runMode = -1;
            if (card == 0)
                card = 1; // the ace on show is what is drawn
            ++manual;
            if (isMultiple(card))
                ++multiples;
            shownDraws = manual;
            store(manual);
            row("-+++.+.+");
            if (manual == kHandLimit)
                enabled[2] = false;
            timer = false;
            state = State::Drawn;
            break;
        case 2: // shuffle
            runMode = -1;
            row("+---.-.-");
            timer = true;
            state = State::Shuffling;
            break;
        case 3: // exit, answered No
            // clang-format off
            effects << "stop" << "close" << "file endpinpon.wav" << "open" << "sound" << "ask";
            // clang-format on
            break;
        case 4: // automatic start
            autoCount = manual;
            runMode = 1;
            row(".---+---");
            timer = true;
            state = State::Running;
            break;
        case 5: // automatic stop
            runMode = -1;
            row("..+--+++");
            timer = false;
            state = State::Finished;
            break;
        case 6: // initialise
            startOverCue();
            runMode = -1;
            manual = autoCount = multiples = 0;
            card = 0;
            shownDraws = 0;
            shownRatio.clear();
            row("-+.+---.");
            state = State::Ready;
            break;
        case 7: // graph
            effects << "graph";
            break;
        case 8: // help: the main window goes
            startOverCue();
            effects << "help";
            timer = false;
            state = State::Help;
            break;
        }
    }

    void tick(int newCard)
    {
        card = newCard;
        if (runMode != 1)
            return;
        if (autoCount >= kRun) {
            row("..+--+++");
            timer = false;
            runMode = -1;
            state = State::Finished;
        } else {
            if (isMultiple(card))
                ++multiples;
            ++autoCount;
            row("......+.");
        }
        shownDraws = autoCount;
        store(autoCount);
    }
};

// --------------------------------------------------------------------------
// What the driver fires at: the controller on a fake view, or the real main
// window with real (synthetic) mouse clicks.

class HelpAwareWindows : public FakeWindows {
public:
    using FakeWindows::FakeWindows;
    void replaceMainWithHelp() override
    {
        FakeWindows::replaceMainWithHelp();
        helpRequested = true;
    }
    bool helpRequested = false;
};

class Target {
public:
    Target() : shared(std::make_unique<Module1>()), sound(log), confirmation(log), windows(log) {}
    virtual ~Target() = default;

    // A fresh main window, loaded: start-up, and "back" from help.
    virtual void load() = 0;
    virtual void click(int button) = 0;
    virtual void tick() = 0;
    virtual bool hasWindow() const = 0;
    virtual bool enabled(int button) const = 0;
    virtual bool timerRunning() const = 0;
    virtual QString text(Label label) const = 0;
    virtual int visibleCount() const = 0;
    virtual int shownFace() const = 0;
    virtual const MainWindowController &controller() const = 0;
    // Lets queued window work happen while no timer can tick.
    virtual void settle() {}

    MainWindowController::Services services() { return {cards, sound, confirmation, windows}; }

    std::unique_ptr<Module1> shared;
    EventLog log;
    ScriptedCards cards;
    RecordingSound sound;
    FakeConfirmation confirmation;
    HelpAwareWindows windows;
};

class FakeTarget final : public Target {
public:
    // Deliberate faults, to show that the checks catch them.
    bool honourDisabled = true;
    std::function<void(Module1 &)> afterTick;

    void load() override
    {
        view = std::make_unique<FakeView>();
        ctl = std::make_unique<MainWindowController>(*view, *shared, services());
        ctl->Form_Load();
    }
    void click(int b) override
    {
        if (!view->enabled[b] && honourDisabled)
            return;
        switch (b) {
        case 1:
            ctl->Command1_Click();
            break;
        case 2:
            ctl->Command2_Click();
            break;
        case 3:
            ctl->Command3_Click();
            break;
        case 4:
            ctl->Command4_Click();
            break;
        case 5:
            ctl->Command5_Click();
            break;
        case 6:
            ctl->Command6_Click();
            break;
        case 7:
            ctl->Command7_Click();
            break;
        case 8:
            ctl->Command8_Click();
            break;
        }
        if (windows.helpRequested) {
            windows.helpRequested = false;
            ctl.reset();
            view.reset();
        }
    }
    void tick() override
    {
        ctl->Timer1_Timer();
        if (afterTick)
            afterTick(*shared);
    }
    bool hasWindow() const override { return bool(ctl); }
    bool enabled(int b) const override { return view->enabled[b]; }
    bool timerRunning() const override { return view->timerRunning; }
    QString text(Label l) const override { return view->text(l); }
    int visibleCount() const override { return view->visibleCount(); }
    int shownFace() const override { return view->firstVisible(); }
    const MainWindowController &controller() const override { return *ctl; }

private:
    std::unique_ptr<FakeView> view;
    std::unique_ptr<MainWindowController> ctl;
};

// The real main window offscreen. Clicks go through the window system path,
// so a disabled button is skipped by Qt itself, not by the driver. Ticks call
// the timer's handler directly, and the timer's own events are held back.
class WidgetTarget final : public Target, public QObject {
public:
    WidgetTarget() { qApp->installEventFilter(this); }
    ~WidgetTarget() override
    {
        qApp->removeEventFilter(this);
        delete form.data();
    }
    // Synthetic clicks pass through the event loop; the window's own timer
    // must not add ticks there.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return event->type() == QEvent::Timer && form && watched == &form->timer1();
    }
    void load() override
    {
        form = new Form1(*shared, services());
        form->controller().Form_Load();
        form->show();
    }
    void click(int b) override
    {
        QPushButton *button = form->command(b);
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        if (windows.helpRequested) {
            windows.helpRequested = false;
            // Unloaded from outside its own handlers, so it can go at once.
            Form1 *unloaded = std::exchange(form, nullptr);
            unloaded->unload();
            delete unloaded;
        }
    }
    void tick() override
    {
        if (form->timer1().isActive())
            form->controller().Timer1_Timer();
    }
    bool hasWindow() const override { return bool(form); }
    bool enabled(int b) const override { return form->command(b)->isEnabled(); }
    bool timerRunning() const override { return form->timer1().isActive(); }
    QString text(Label l) const override { return form->label(static_cast<int>(l))->text(); }
    int visibleCount() const override { return form->cards()->visibleCount(); }
    int shownFace() const override { return form->cards()->topCard(); }
    const MainWindowController &controller() const override { return form->controller(); }
    void settle() override
    {
        if (!form || !form->timer1().isActive())
            QCoreApplication::processEvents();
    }

private:
    QPointer<Form1> form;
};

// --------------------------------------------------------------------------
// The driver.

enum class Mode { Mixed, Limits };

struct Weights {
    // Per button, then tick; back is the only event while help is up.
    std::array<int, 9> clicks;
    int tick;
};

class Driver {
public:
    Driver(Target &target, Mode mode, std::uint64_t seed) : m_target(target), m_mode(mode), m_rng(seed) {}

    // Returns an empty string, or what went wrong with the replay recipe.
    QString run(int events)
    {
        m_target.load();
        m_model.load();
        if (QString e = check(); !e.isEmpty())
            return fail(0, e);
        for (int i = 1; i <= events; ++i) {
            step();
            if (QString e = check(); !e.isEmpty())
                return fail(i, e);
            if (i % 4096 == 0 || i == events) {
                if (std::memcmp(m_model.history.data(), m_target.shared->ratioHistory.data(),
                                m_model.history.size() * sizeof(float))
                    != 0)
                    return fail(i, QStringLiteral("ratio history differs from the model's"));
            }
            if (i % 256 == 0)
                m_target.settle();
        }
        return {};
    }

    int runsEnded = 0;
    int fullRuns = 0; // ended at exactly 1000
    int handLimitReached = 0;

private:
    // Plain modulo: unlike the standard distributions it gives the same
    // sequence with every standard library, so a seed replays anywhere.
    std::uint32_t below(std::uint32_t n) { return std::uint32_t(m_rng() % n); }

    Weights weights() const
    {
        if (m_mode == Mode::Mixed)
            return {{0, 6, 6, 2, 3, 2, 2, 2, 1}, 24};
        // Near the limits: runs go on until they end by themselves, hand
        // draws follow each other, and initialise or help come rarely.
        if (m_model.manual > kHandLimit - 100 && m_model.state != State::Running)
            return {{0, 40, 30, 1, 1, 1, 1, 1, 1}, 40}; // on towards the hand limit
        switch (m_model.state) {
        case State::Running:
            return {{0, 1, 1, 1, 1, 1, 1, 1, 1}, 4000};
        case State::Shuffling:
            return {{0, 40, 1, 1, 1, 1, 1, 1, 1}, 40};
        default:
            return {{0, 4, 8, 1, 4, 1, 1, 1, 1}, 8};
        }
    }

    void step()
    {
        m_model.effects.clear();
        m_model.writtenNow = 0;
        m_target.log.entries.clear();

        if (m_model.state == State::Help) {
            note(QStringLiteral("back"));
            m_target.load();
            m_model.load();
            pokeNearLimit();
            return;
        }
        const Weights w = weights();
        const int tickWeight = m_model.timer ? w.tick : 0; // a stopped timer delivers nothing
        int total = tickWeight;
        for (int c : w.clicks)
            total += c;
        int pick = int(below(std::uint32_t(total)));
        if (pick < tickWeight) {
            const auto card = std::int16_t(1 + below(52));
            note(QStringLiteral("tick %1").arg(card));
            m_target.cards.queue.push_back(card);
            const bool wasRunning = m_model.runMode == 1;
            m_target.tick();
            m_model.tick(card);
            if (wasRunning && m_model.runMode != 1) {
                ++runsEnded;
                fullRuns += m_model.autoCount == kRun ? 1 : 0;
            }
            return;
        }
        pick -= tickWeight;
        int button = 1;
        while (pick >= w.clicks[button]) {
            pick -= w.clicks[button];
            ++button;
        }
        note(QStringLiteral("click %1%2").arg(button).arg(m_model.enabled[button] ? "" : " (disabled)"));
        m_target.click(button);
        m_model.click(button);
        if (m_model.manual == kHandLimit && button == 1 && m_model.writtenNow == kHandLimit)
            ++handLimitReached;
        if (button == 6 && m_model.state == State::Ready)
            pokeNearLimit();
    }

    // In limits mode a fresh count sometimes starts just short of the hand
    // limit, as if some 32700 hand draws had already been made.
    void pokeNearLimit()
    {
        if (m_mode != Mode::Limits || below(3) != 0 || m_model.manual != 0)
            return;
        const int start = kHandLimit - 1 - int(below(12));
        note(QStringLiteral("hand count set to %1").arg(start));
        m_model.manual = start;
        m_target.shared->manualDrawCount = std::int16_t(start);
    }

    void note(const QString &event)
    {
        m_recent.push_back(event);
        if (m_recent.size() > 24)
            m_recent.pop_front();
    }

    QString fail(int index, const QString &what) const
    {
        return QStringLiteral("%1 after event %2 in state %3. Last events: %4")
            .arg(what)
            .arg(index)
            .arg(QLatin1String(stateName(m_model.state)))
            .arg(QStringList(m_recent.begin(), m_recent.end()).join(QStringLiteral(", ")));
    }

    QString check() const
    {
        const Model &m = m_model;
        const Target &t = m_target;
        if (!m.fault.isEmpty())
            return QStringLiteral("model: ") + m.fault;
        if (t.log.entries != m.effects)
            return QStringLiteral("requests [%1], model expects [%2]")
                .arg(t.log.entries.join(QLatin1Char(',')), m.effects.join(QLatin1Char(',')));
        if (t.hasWindow() != (m.state != State::Help))
            return QStringLiteral("main window present: %1").arg(t.hasWindow());
        if (!t.cards.queue.empty())
            return QStringLiteral("a tick did not take its card");

        // The shared record, whether or not a window is up.
        const Module1 &s = *t.shared;
        if (s.manualDrawCount != m.manual)
            return QStringLiteral("manualDrawCount %1, model %2").arg(s.manualDrawCount).arg(m.manual);
        if (m.manual < 0 || m.manual > kHandLimit)
            return QStringLiteral("hand count %1 out of its width").arg(m.manual);
        if (m.lastIndex != 0) {
            const float want = m.history[m.lastIndex];
            if (s.ratioHistory[m.lastIndex] != want)
                return QStringLiteral("ratioHistory[%1] = %2, model %3")
                    .arg(m.lastIndex)
                    .arg(double(s.ratioHistory[m.lastIndex]), 0, 'g', 9)
                    .arg(double(want), 0, 'g', 9);
        }
        if (m.writtenNow != 0 && s.ratioHistory[m.writtenNow] != float(double(m.multiples) / m.writtenNow))
            return QStringLiteral("ratioHistory[%1] is not multiples / draws").arg(m.writtenNow);
        if (m.state == State::Help)
            return {};

        if (s.autoDrawCount != m.autoCount)
            return QStringLiteral("autoDrawCount %1, model %2").arg(s.autoDrawCount).arg(m.autoCount);
        if (m.autoCount < 0 || m.autoCount > kHistoryLast)
            return QStringLiteral("automatic count %1 out of range").arg(m.autoCount);
        const Form1Record &r = t.controller().record();
        if (r.runMode != m.runMode)
            return QStringLiteral("runMode %1, model %2").arg(r.runMode).arg(m.runMode);
        if (r.multipleCount != m.multiples)
            return QStringLiteral("multipleCount %1, model %2").arg(r.multipleCount).arg(m.multiples);
        if (r.currentCard != m.card)
            return QStringLiteral("currentCard %1, model %2").arg(r.currentCard).arg(m.card);
        if (m.multiples < 0 || m.multiples > m.shownDraws)
            return QStringLiteral("%1 multiples in %2 draws").arg(m.multiples).arg(m.shownDraws);

        const QString mask = maskOf([&t](int b) { return t.enabled(b); });
        const QString want = maskOf([&m](int b) { return m.enabled[b]; });
        if (mask != want)
            return QStringLiteral("buttons %1, model %2").arg(mask, want);
        if (t.timerRunning() != m.timer)
            return QStringLiteral("timer running %1, model %2").arg(t.timerRunning()).arg(m.timer);
        // Wherever exit can be chosen, nothing may tick behind its box.
        if (m.enabled[3] && m.timer)
            return QStringLiteral("exit enabled while the timer runs");

        if (t.text(Label::Label3) != QString::number(m.shownDraws))
            return QStringLiteral("Label3 '%1', model %2").arg(t.text(Label::Label3)).arg(m.shownDraws);
        if (t.text(Label::Label4) != QString::number(m.multiples))
            return QStringLiteral("Label4 '%1', model %2").arg(t.text(Label::Label4)).arg(m.multiples);
        if (t.text(Label::Label6) != m.shownRatio)
            return QStringLiteral("Label6 '%1', model '%2'").arg(t.text(Label::Label6), m.shownRatio);
        if (m.lastIndex != 0 && !m.shownRatio.isEmpty()
            && m.shownRatio
                != QString::fromStdString(CardRules::formatRatio(float(double(m.multiples) / m.shownDraws))))
            return QStringLiteral("Label6 does not match Label4 / Label3");

        if (t.visibleCount() != 1)
            return QStringLiteral("%1 card faces visible").arg(t.visibleCount());
        const int face = m.card == 0 ? 1 : m.card;
        if (t.shownFace() != face)
            return QStringLiteral("face %1 on show, model %2").arg(t.shownFace()).arg(face);
        return {};
    }

    Target &m_target;
    Mode m_mode;
    std::mt19937_64 m_rng;
    Model m_model;
    std::deque<QString> m_recent;
};

int eventsPerSeed(int normal)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("TAVELK_EVENTS", &ok);
    return ok && n > 0 ? n : normal;
}

// Seeds to run: the given ones, or just TAVELK_SEED when it is set.
QList<quint64> seeds(std::initializer_list<quint64> normal)
{
    bool ok = false;
    const quint64 one = qEnvironmentVariable("TAVELK_SEED").toULongLong(&ok, 0);
    return ok ? QList<quint64>{one} : QList<quint64>(normal);
}

} // namespace

class TestRandomEvents : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void modelAgreesWithController_data();
    void modelAgreesWithController();
    void modelAgreesWithWindow_data();
    void modelAgreesWithWindow();
    void modelCatchesAWrongController_data();
    void modelCatchesAWrongController();

private:
    void addRows(std::initializer_list<quint64> mixed, std::initializer_list<quint64> limits, int mixedEvents,
                 int limitEvents);
    void runRow(Target &target);
};

void TestRandomEvents::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestRandomEvents::addRows(std::initializer_list<quint64> mixed, std::initializer_list<quint64> limits,
                               int mixedEvents, int limitEvents)
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("events");
    for (quint64 s : seeds(mixed))
        QTest::addRow("mixed seed %llu", s) << int(Mode::Mixed) << s << eventsPerSeed(mixedEvents);
    for (quint64 s : seeds(limits))
        QTest::addRow("limits seed %llu", s) << int(Mode::Limits) << s << eventsPerSeed(limitEvents);
}

void TestRandomEvents::runRow(Target &target)
{
    QFETCH(int, mode);
    QFETCH(quint64, seed);
    QFETCH(int, events);
    Driver driver(target, Mode(mode), seed);
    const QString failure = driver.run(events);
    QVERIFY2(failure.isEmpty(),
             qPrintable(QStringLiteral("seed %1 (replay: TAVELK_SEED=%1): %2").arg(seed).arg(failure)));
    qInfo("seed %llu: %d events, %d runs ended by themselves (%d at 1000), hand limit reached %d times", seed, events,
          driver.runsEnded, driver.fullRuns, driver.handLimitReached);
    if (Mode(mode) == Mode::Limits && events >= 40000) {
        // The limits mode is only worth its time if it gets there.
        QVERIFY2(driver.fullRuns > 0, "no run reached 1000");
        QVERIFY2(driver.handLimitReached > 0, "the hand count never reached its limit");
    }
}

void TestRandomEvents::modelAgreesWithController_data()
{
    addRows({1, 2, 3, 4}, {11, 12, 13, 14}, 50000, 100000);
}

void TestRandomEvents::modelAgreesWithController()
{
    FakeTarget target;
    runRow(target);
}

void TestRandomEvents::modelAgreesWithWindow_data()
{
    addRows({21}, {31}, 10000, 40000);
}

void TestRandomEvents::modelAgreesWithWindow()
{
    WidgetTarget target;
    runRow(target);
}

void TestRandomEvents::modelCatchesAWrongController_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reported");
    // clang-format off
    QTest::newRow("disabled buttons obey clicks") << "clicks" << "after event";
    QTest::newRow("history slot off by one") << "slot" << "ratioHistory";
    QTest::newRow("an extra automatic draw") << "count" << "autoDrawCount";
    // clang-format on
}

void TestRandomEvents::modelCatchesAWrongController()
{
    // Every check must be able to fail: a wrong controller is reported, with
    // the seed that replays it.
    QFETCH(QString, fault);
    QFETCH(QString, reported);
    FakeTarget target;
    if (fault == u"clicks")
        target.honourDisabled = false;
    else if (fault == u"slot")
        target.afterTick = [](Module1 &m) { m.ratioHistory[std::max(1, m.autoDrawCount)] += 0.25f; };
    else
        target.afterTick = [](Module1 &m) { m.autoDrawCount += m.autoDrawCount == 500 ? 1 : 0; };
    Driver driver(target, Mode::Limits, 7);
    const QString failure = driver.run(200000);
    QVERIFY2(!failure.isEmpty(), "the fault went unnoticed");
    QVERIFY2(failure.contains(reported), qPrintable(failure));
}

QTEST_MAIN(TestRandomEvents)
#include "tst_randomevents.moc"
