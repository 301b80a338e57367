// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The seams every front builds on, without a screen: the drawing steps of
// the two pictures, where the focus goes, the timer's schedule and which
// window replaces which.

#include "core/canvas.h"
#include "core/experiment.h"
#include "core/form1steps.h"
#include "core/graphpicture.h"
#include "core/helptext.h"
#include "core/programflow.h"
#include "core/tickpacer.h"
#include "expected.h"

#include <QtTest>
#include <memory>

namespace {

// Keeps each step as one line of text.
struct RecordingCanvas final : Canvas {
    QStringList steps;
    void setCurrentPosition(double x, double y) override { steps << QStringLiteral("move %1 %2").arg(x).arg(y); }
    void pset(double x, double y, Design::Rgb c) override { add(u"pset", {x, y}, c); }
    void line(double x1, double y1, double x2, double y2, Design::Rgb c) override { add(u"line", {x1, y1, x2, y2}, c); }
    void lineTo(double x, double y, Design::Rgb c) override { add(u"lineTo", {x, y}, c); }
    void print(const std::string &text) override { steps << QStringLiteral("print ") + QString::fromStdString(text); }
    void cls() override { steps << QStringLiteral("cls"); }

    void add(QStringView what, std::initializer_list<double> at, Design::Rgb c)
    {
        QString step = what.toString();
        for (const double v : at)
            step += QStringLiteral(" %1").arg(v);
        steps << step
                + QStringLiteral(" #%1%2%3")
                      .arg(c.red, 2, 16, QChar(u'0'))
                      .arg(c.green, 2, 16, QChar(u'0'))
                      .arg(c.blue, 2, 16, QChar(u'0'));
    }
    int count(const QString &prefix) const
    {
        return int(std::count_if(steps.begin(), steps.end(), [&](const QString &s) { return s.startsWith(prefix); }));
    }
};

// Logs what the flow asks of the windows.
struct FakeHost final : WindowHost {
    QStringList log;
    static QString name(Window w) { return w == Window::Main ? "main" : w == Window::Graph ? "graph" : "help"; }
    void create(Window w) override { log << "create " + name(w); }
    void destroy(Window w) override { log << "destroy " + name(w); }
    void showActive(Window w) override { log << "show " + name(w); }
    void quit() override { log << "quit"; }
};

} // namespace

class TestCoreSteps : public QObject {
    Q_OBJECT
private slots:
    void graphSteps();
    void helpSteps();
    void focusTarget_data();
    void focusTarget();
    void pacing_data();
    void pacing();
    void windowFlow_data();
    void windowFlow();
};

void TestCoreSteps::graphSteps()
{
    auto record = std::make_unique<Module1>();
    record->autoDrawCount = 1000;
    for (int n = 1; n <= 1000; ++n)
        record->ratioHistory[n] = n % 2 ? 0.5f : 0.25f;
    GraphPicture graph;
    RecordingCanvas canvas;
    graph.draw(canvas, *record);

    // Two axes, ten ratio ticks, fifty dashes and ten draw-number ticks, in black.
    QCOMPARE(canvas.count("line "), 2 + 10 + 50 + 10);
    QVERIFY(canvas.steps.contains("line 1080 80 1090 80 #000000"));
    // Each label printed where it was moved to.
    for (const Expected::CanvasText &t : Expected::kGraphTexts) {
        const int at = int(canvas.steps.indexOf(QStringLiteral("move %1 %2").arg(t.x).arg(t.y)));
        QVERIFY2(at >= 0 && canvas.steps.value(at + 1) == "print " + QString::fromUtf16(t.text),
                 qPrintable(QString::number(t.x)));
    }
    // The curve in blue: a point at draw 1, then a line to each further draw,
    // ending at the right edge.
    QCOMPARE(canvas.count("pset 101 60 #0000ff"), 1);
    QCOMPARE(canvas.count("lineTo "), 999);
    QCOMPARE(canvas.steps.last(), QStringLiteral("lineTo 1100 85 #0000ff"));

    // Drawn again unchanged it is the same curve; a new run is a second one.
    graph.draw(canvas, *record);
    QVERIFY(graph.description().ends_with("曲線 1 本"));
    record->ratioHistory[1] = 0.0f;
    graph.draw(canvas, *record);
    QVERIFY(graph.description().ends_with("曲線 2 本"));
}

void TestCoreSteps::helpSteps()
{
    RecordingCanvas canvas;
    HelpText::print(canvas);
    HelpText::print(canvas);
    // Cleared each time, so the text is there once however often it is drawn.
    QStringList once{QStringLiteral("cls")};
    for (const QString &line : Expected::helpLines())
        once << "print " + line;
    QCOMPARE(canvas.steps, once + once);
}

void TestCoreSteps::focusTarget_data()
{
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("preferred");
    QTest::addColumn<QString>("enabled"); // Command1 first, "+" enabled
    QTest::addColumn<int>("target");
    QTest::newRow("draw leads to shuffle") << 1 << 2 << "-+++-+-+" << 2;
    QTest::newRow("shuffle leads to draw") << 2 << 1 << "+-------" << 1;
    QTest::newRow("start leads to stop") << 4 << 5 << "----+---" << 5;
    QTest::newRow("stop: the next enabled after it") << 5 << 0 << "--+--+++" << 6;
    QTest::newRow("preferred off: next after held") << 6 << 2 << "--+----+" << 8;
    QTest::newRow("wrapping round") << 8 << 0 << "--+-----" << 3;
    QTest::newRow("none left") << 5 << 0 << "--------" << 0;
}

void TestCoreSteps::focusTarget()
{
    QFETCH(int, held);
    QFETCH(int, preferred);
    QFETCH(QString, enabled);
    QFETCH(int, target);
    std::array<bool, 8> on{};
    for (std::size_t i = 0; i < on.size(); ++i)
        on[i] = enabled[qsizetype(i)] == u'+';
    QCOMPARE(Form1Steps::focusTarget(held, preferred, on), target);
}

void TestCoreSteps::pacing_data()
{
    // Times in ms since the start; the interval is 1 ms.
    QTest::addColumn<int>("ran"); // ticks run by then
    QTest::addColumn<double>("now");
    QTest::addColumn<int>("due");
    QTest::addColumn<double>("untilNext");
    QTest::newRow("at the start") << 0 << 0.0 << 0 << 1.0;
    QTest::newRow("a frame later") << 0 << 4.5 << 4 << 0.0;
    QTest::newRow("kept up") << 4 << 4.5 << 0 << 0.5;
    QTest::newRow("a backlog within the cap") << 0 << 10.0 << 10 << 0.0;
    QTest::newRow("a stall: moved on") << 3 << 500.0 << 0 << 1.0;
}

void TestCoreSteps::pacing()
{
    QFETCH(int, ran);
    QFETCH(double, now);
    QFETCH(int, due);
    QFETCH(double, untilNext);
    using Ms = std::chrono::duration<double, std::milli>;
    const auto at = [](double ms) { return std::chrono::duration_cast<TickPacer::Duration>(Ms(ms)); };
    TickPacer pacer(std::chrono::milliseconds(1));
    pacer.start(at(1000));
    for (int i = 0; i < ran; ++i)
        pacer.ticked();
    QCOMPARE(pacer.due(at(1000 + now)), std::int64_t(due));
    QCOMPARE(Ms(pacer.untilNext(at(1000 + now))).count(), untilNext);
}

void TestCoreSteps::windowFlow_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("log");
    const QStringList start{"create main", "show main"};
    const QStringList toHelp{"destroy main", "create help", "show help"};
    QTest::newRow("graph beside, raised again")
        << QStringList{"graph", "graph"} << start + QStringList{"create graph", "show graph", "show graph"};
    QTest::newRow("help and back, once") << QStringList{"help", "help closed by button", "help closed by button"}
                                         << start + toHelp + start;
    QTest::newRow("help closed by its frame ends the program")
        << QStringList{"help", "help closed by frame"} << start + toHelp + QStringList{"quit"};
    QTest::newRow("the graph outlives the main window")
        << QStringList{"graph", "main closed by frame", "graph closed by button"}
        << start + QStringList{"create graph", "show graph", "quit"};
    QTest::newRow("exit") << QStringList{"end"} << start + QStringList{"quit"};
}

void TestCoreSteps::windowFlow()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, log);
    FakeHost host;
    ProgramFlow flow(host);
    flow.showMain();
    for (const QString &event : events) {
        if (event == u"graph")
            flow.showGraph();
        else if (event == u"help")
            flow.replaceMainWithHelp();
        else if (event == u"end")
            flow.endProgram();
        else {
            const QStringList words = event.split(u' ');
            const Window w = words[0] == u"main" ? Window::Main : words[0] == u"graph" ? Window::Graph : Window::Help;
            flow.closed(w, words.last() == u"button");
        }
    }
    QCOMPARE(host.log, log);
}

QTEST_APPLESS_MAIN(TestCoreSteps)
#include "tst_coresteps.moc"
