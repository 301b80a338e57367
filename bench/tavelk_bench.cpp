// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Micro-benchmarks of the two hot paths, on real widgets and the offscreen
// platform: one automatic-run tick of the main window, and drawing the graph
// of a 1000-draw run onto its retained canvas.
#include "core/experiment.h"
#include "core/mainview.h"
#include "core/randomcard.h"
#include "core/soundcue.h"
#include "ui/common/fonts.h"
#include "ui/graph/form2.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

class SilentDevice final : public SoundDevice {
public:
    void stop() override {}
    void close() override {}
    void setFileName(Cue) override {}
    void open() override {}
    void sound() override {}
};

class NoWindows final : public WindowActions, public ExitConfirmation {
public:
    void showGraph() override {}
    void replaceMainWithHelp() override {}
    void endProgram() override {}
    void askExit(Answer answer) override { answer(kNo); }
};

// Counts what the event loop does for the widgets of one window: paint
// events per widget kind and layout requests.
class EventCounter : public QObject {
public:
    std::map<QString, long> paints;
    long layoutRequests = 0;

    void reset()
    {
        paints.clear();
        layoutRequests = 0;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[kindOf(watched)];
        else if (event->type() == QEvent::LayoutRequest)
            ++layoutRequests;
        return false;
    }

private:
    static QString kindOf(QObject *o)
    {
        if (qobject_cast<CardStack *>(o))
            return QStringLiteral("cards");
        if (qobject_cast<QLabel *>(o))
            return QStringLiteral("labels");
        if (qobject_cast<QPushButton *>(o))
            return QStringLiteral("buttons");
        if (qobject_cast<Form1 *>(o))
            return QStringLiteral("window");
        return QStringLiteral("other");
    }
};

struct MainWindowFixture {
    SystemClock clock;
    ClockSeededCards cards{clock};
    SilentDevice sound;
    NoWindows windows;
    std::unique_ptr<Module1> record = std::make_unique<Module1>();
    Form1 form{*record, {cards, sound, windows, windows}};

    MainWindowFixture()
    {
        form.controller().Form_Load();
        form.show();
        QCoreApplication::processEvents();
        startRun();
    }

    // The state right after a click on 自動 Start, with the real timer held
    // back so the benchmark drives the ticks itself.
    void startRun()
    {
        form.controller().Command6_Click();
        form.controller().Command4_Click();
        form.stopTimer1();
        QCoreApplication::processEvents();
    }

    void keepRunning(benchmark::State &state)
    {
        if (record->autoDrawCount < MainWindowController::kRunLength)
            return;
        state.PauseTiming();
        startRun();
        state.ResumeTiming();
    }
};

// The controller's work for one tick: 52 faces hidden, one shown, counts and
// labels updated. Repaints are only scheduled, not done.
void BM_Timer1Tick(benchmark::State &state)
{
    MainWindowFixture f;
    for (auto _ : state) {
        f.form.controller().Timer1_Timer();
        f.keepRunning(state);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Timer1Tick);

// One tick plus the event-loop pass that follows it, which paints what the
// tick changed. Counters give paint events per tick by widget kind.
void BM_Timer1TickAndRepaint(benchmark::State &state)
{
    MainWindowFixture f;
    EventCounter counter;
    qApp->installEventFilter(&counter);
    counter.reset();
    for (auto _ : state) {
        f.form.controller().Timer1_Timer();
        QCoreApplication::processEvents();
        f.keepRunning(state);
    }
    qApp->removeEventFilter(&counter);
    state.SetItemsProcessed(state.iterations());
    const auto perTick = [&](double n) { return benchmark::Counter(n / double(state.iterations())); };
    for (const char *kind : {"cards", "labels", "buttons", "window", "other"})
        state.counters[std::string("paints_") + kind] = perTick(double(counter.paints[QString::fromLatin1(kind)]));
    state.counters["layout_requests"] = perTick(double(counter.layoutRequests));
}
BENCHMARK(BM_Timer1TickAndRepaint);

// Form_Activate of the graph window after a 1000-draw run: the frame, the
// labels and the 1000-point curve drawn onto the retained canvas.
void BM_GraphActivate1000(benchmark::State &state)
{
    auto record = std::make_unique<Module1>();
    record->autoDrawCount = 1000;
    for (int n = 1; n <= 1000; ++n)
        record->ratioHistory[n] = float(16.0 / 52.0 + 0.5 * std::sin(n * 0.37) / std::sqrt(double(n)));
    Form2 form(*record);
    form.show();
    QCoreApplication::processEvents();
    for (auto _ : state)
        form.Form_Activate();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GraphActivate1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Fonts::installSubstitutions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
