// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The core as the page sees it: a few plain exported functions. Each one
// runs what a pupil's action asks of the program and answers with what
// changed, as JSON text owned here until the next call.

#include "core/canvas.h"
#include "core/cardrules.h"
#include "core/design.h"
#include "core/experiment.h"
#include "core/form1steps.h"
#include "core/graphpicture.h"
#include "core/helptext.h"
#include "core/mainview.h"
#include "core/mainwindowcontroller.h"
#include "core/programflow.h"
#include "core/randomcard.h"
#include "core/soundcue.h"
#include "core/tickpacer.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Form1Steps::Step;

// Just enough JSON: objects and arrays are written by hand, values here.
std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string rect(Design::Rect r)
{
    return "[" + std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + ","
        + std::to_string(r.height) + "]";
}

std::string line(Design::Line l)
{
    return "[" + std::to_string(l.x1) + "," + std::to_string(l.y1) + "," + std::to_string(l.x2) + ","
        + std::to_string(l.y2) + "]";
}

std::string rgb(Design::Rgb c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return quoted(text);
}

std::string colour(const Design::Colour &c)
{
    switch (c.role) {
    case Design::Colour::Role::WindowText:
        return quoted("WindowText");
    case Design::Colour::Role::ButtonText:
        return quoted("ButtonText");
    case Design::Colour::Role::ButtonFace:
        return quoted("ButtonFace");
    default:
        return rgb(c.rgb);
    }
}

std::string font(Design::Font f)
{
    return std::string("{\"px\":") + std::to_string(f.pixelSize) + ",\"bold\":" + (f.bold ? "true" : "false") + "}";
}

std::string label(int number)
{
    return quoted("Label" + std::to_string(number));
}

std::string canvasWindow(const Design::CanvasWindow &w)
{
    const Design::Picture &p = w.picture;
    return "{\"caption\":" + quoted(w.caption) + ",\"client\":" + rect(w.client)
        + ",\"closeButton\":{\"name\":\"Command1\",\"caption\":" + quoted(Design::kCloseCaption)
        + ",\"rect\":" + rect(w.closeButton) + ",\"font\":" + font(w.closeFont) + "},\"line\":" + line(w.rule)
        + ",\"picture\":{\"name\":\"Picture1\",\"rect\":" + rect(p.rect) + ",\"border\":" + std::to_string(p.border)
        + ",\"scale\":[" + number(p.scaleWidth) + "," + number(p.scaleHeight) + "],\"font\":" + font(p.font)
        + ",\"accessibleName\":" + quoted(p.accessibleName) + ",\"readable\":" + (p.readable ? "true" : "false")
        + ",\"background\":" + rgb(p.background) + "},\"tabOrder\":"
        + (w.pictureFirstInTabOrder ? "[\"Picture1\",\"Command1\"]" : "[\"Command1\",\"Picture1\"]") + "}";
}

std::string designJson()
{
    using namespace Design::Form1;
    std::string buttons, labels, links;
    for (const Design::Button &b : kButtons)
        buttons += std::string(buttons.empty() ? "" : ",") + "{\"name\":\"Command" + std::to_string(b.number)
            + "\",\"caption\":" + quoted(b.caption) + ",\"rect\":" + rect(b.rect) + ",\"font\":" + font(b.font) + "}";
    for (const Design::Label &l : kLabels)
        labels += std::string(labels.empty() ? "" : ",") + "{\"name\":" + label(l.number) + ",\"text\":"
            + quoted(l.text) + ",\"rect\":" + rect(l.rect) + ",\"font\":" + font({kLabelPixelSize, l.bold})
            + ",\"colour\":" + colour(l.ink) + ",\"background\":" + colour(l.ground) + "}";
    for (const Design::CaptionLink &link : kCaptionLinks)
        links += std::string(links.empty() ? "" : ",") + "[" + label(link.value) + "," + label(link.caption) + "]";
    std::string names;
    for (std::int16_t i = 0; i <= CardRules::kCardCount; ++i)
        names += std::string(i == 0 ? "" : ",") + quoted(CardRules::cardName(i));
    const Design::ExitBox &box = Design::kExitBox;
    return "{\"windows\":{\"Form1\":{\"caption\":" + quoted(kCaption) + ",\"client\":" + rect(kClient)
        + ",\"background\":" + colour(kBackground) + ",\"icon\":true,\"buttons\":[" + buttons + "],\"labels\":["
        + labels + "],\"captionLinks\":[" + links + "],\"line\":" + line(kLine) + ",\"cards\":" + rect(kCards)
        + "},\"Form2\":" + canvasWindow(Design::kForm2) + ",\"Form4\":" + canvasWindow(Design::kForm4)
        + "},\"exitBox\":{\"title\":" + quoted(box.title) + ",\"text\":" + quoted(box.question) + ",\"yes\":"
        + quoted(box.yes) + ",\"no\":" + quoted(box.no) + ",\"default\":\"yes\",\"escape\":\"no\"},\"designFont\":"
        + quoted(Design::kDesignFace) + ",\"cardNames\":[" + names + "]}";
}

// The drawing steps as JSON arrays, to be kept and replayed by the page.
class StepRecorder final : public Canvas {
public:
    std::string steps;
    std::vector<std::string> printed;

    void setCurrentPosition(double x, double y) override { add("[\"move\"," + number(x) + "," + number(y) + "]"); }
    void pset(double x, double y, Design::Rgb c) override
    {
        add("[\"pset\"," + number(x) + "," + number(y) + "," + rgb(c) + "]");
    }
    void line(double x1, double y1, double x2, double y2, Design::Rgb c) override
    {
        add("[\"line\"," + number(x1) + "," + number(y1) + "," + number(x2) + "," + number(y2) + "," + rgb(c) + "]");
    }
    void lineTo(double x, double y, Design::Rgb c) override
    {
        add("[\"lineTo\"," + number(x) + "," + number(y) + "," + rgb(c) + "]");
    }
    void print(const std::string &text) override
    {
        printed.push_back(text);
        add("[\"print\"," + quoted(text) + "]");
    }
    void cls() override { add("[\"cls\"]"); }

private:
    void add(const std::string &step) { steps += (steps.empty() ? "" : ",") + step; }
};

const char *windowName(Window w)
{
    return w == Window::Main ? "Form1" : w == Window::Graph ? "Form2" : "Form4";
}

// The main window's changeable state, as the controller last set it.
class PageMainView final : public MainView {
public:
    explicit PageMainView(TickPacer &pacer, const TickPacer::Duration &now) : m_pacer(pacer), m_now(now) {}

    std::array<bool, 8> enabled{};
    std::array<std::string, 8> labels; // by label number; 3, 4, 6 and 7
    std::int16_t card = 1;
    bool timer = false;

    // The designed state, before the load handler runs.
    void reset()
    {
        enabled.fill(true);
        labels = {};
        card = 1;
        timer = false;
    }

    void setButtonEnabled(Button b, bool on) override { enabled[std::size_t(int(b) - 1)] = on; }
    void setLabelText(Label l, const std::string &text) override { labels[std::size_t(l)] = text; }
    // Exactly one face is shown at the end of every handler; it is the
    // last one made visible.
    void setCardVisible(std::int16_t index, bool visible) override
    {
        if (visible)
            card = index;
    }
    void startTimer1() override
    {
        timer = true;
        m_pacer.start(m_now);
    }
    void stopTimer1() override { timer = false; }

private:
    TickPacer &m_pacer;
    const TickPacer::Duration &m_now;
};

class PageProgram final : public WindowHost, public ExitConfirmation, public SoundDevice {
public:
    PageProgram() : m_record(std::make_unique<Module1>()), m_cards(m_clock) {}

    void begin(double nowMs)
    {
        m_now = std::chrono::duration_cast<TickPacer::Duration>(std::chrono::duration<double, std::milli>(nowMs));
        m_update = {};
    }

    std::string start()
    {
        m_flow.showMain();
        return finish();
    }

    std::string click(int command)
    {
        if (!m_controller || command < 1 || command > 8 || !m_view.enabled[std::size_t(command - 1)] || m_asking)
            return finish();
        m_focused = command;
        runStep(Step(command));
        return finish();
    }

    std::string ticks()
    {
        // A call after a long pause runs no more than the pacing allows.
        for (std::int64_t due = m_view.timer ? m_pacer.due(m_now) : 0; due > 0 && m_view.timer && m_controller; --due) {
            runStep(Step::Timer1);
            m_pacer.ticked();
        }
        return finish();
    }

    std::string answerExit(bool yes)
    {
        if (m_asking) {
            m_asking = false;
            Answer answer = std::move(m_answer);
            answer(yes ? kYes : kNo);
        }
        return finish();
    }

    std::string activate(int window)
    {
        if (window == 2 && m_flow.isOpen(Window::Graph))
            drawGraph();
        else if (window == 4 && m_flow.isOpen(Window::Help))
            drawHelp();
        return finish();
    }

    std::string close(int window, bool byOwnButton)
    {
        const Window w = window == 1 ? Window::Main : window == 2 ? Window::Graph : Window::Help;
        if (m_flow.isOpen(w) && !m_asking) {
            gone(w);
            m_flow.closed(w, byOwnButton && w != Window::Main);
        }
        return finish();
    }

    void focus(int command) { m_focused = command; }

    // WindowHost
    void create(Window w) override
    {
        m_update.created.push_back(windowName(w));
        if (w == Window::Main) {
            m_view.reset();
            m_controller = std::make_unique<MainWindowController>(
                m_view, *m_record, MainWindowController::Services{m_cards, *this, *this, m_flow});
            m_controller->Form_Load();
            // The first enabled button in tab order, as when a window is shown.
            m_focused = 0;
            for (int b = 8; b >= 1; --b)
                m_focused = m_view.enabled[std::size_t(b - 1)] ? b : m_focused;
            m_update.focus = m_focused;
        } else if (w == Window::Graph) {
            m_graph = GraphPicture{};
        }
    }
    void destroy(Window w) override { gone(w); }
    void showActive(Window w) override
    {
        m_update.show = windowName(w);
        if (w == Window::Graph)
            drawGraph();
        else if (w == Window::Help)
            drawHelp();
    }
    void quit() override
    {
        m_update.ended = true;
        m_view.timer = false;
        m_unloaded = std::move(m_controller);
    }

    // ExitConfirmation: the page's dialog answers from a later event.
    void askExit(Answer answer) override
    {
        m_asking = true;
        m_answer = std::move(answer);
        m_update.ask = true;
    }

    // SoundDevice: the page plays the cue itself, inside the same event.
    void stop() override {}
    void close() override {}
    void setFileName(Cue cue) override { m_cue = cue == Cue::End ? "endpinpon" : "pinpon"; }
    void open() override {}
    void sound() override { m_update.cue = m_cue; }

private:
    struct Update {
        std::vector<std::string> created;
        std::vector<std::string> destroyed;
        std::string show;
        int focus = 0;
        std::string announce;
        std::string cue;
        bool ask = false;
        bool ended = false;
        std::string graphSteps;
        std::string helpSteps;
        bool graphDrawn = false;
        bool helpDrawn = false;
    };

    void gone(Window w)
    {
        m_update.destroyed.push_back(windowName(w));
        if (w == Window::Main) {
            m_view.timer = false;
            // Help unloads the window from inside its own handler: the
            // controller goes once the call is done.
            m_unloaded = std::move(m_controller);
        }
    }

    void runStep(Step step)
    {
        if (!Form1Steps::keepsFocus(step)) {
            Form1Steps::run(*m_controller, step);
            return;
        }
        const bool wasRunning = m_controller->record().runMode == 1;
        Form1Steps::run(*m_controller, step);
        // The focused button, if the step disabled it, hands the focus on.
        if (m_focused >= 1 && !m_view.enabled[std::size_t(m_focused - 1)]) {
            m_focused = Form1Steps::focusTarget(m_focused, Form1Steps::preferredFocus(step), m_view.enabled);
            m_update.focus = m_focused;
        }
        const std::string sentence = Form1Steps::announcement(step, *m_controller, wasRunning);
        if (!sentence.empty())
            m_update.announce = sentence;
    }

    void drawGraph()
    {
        StepRecorder steps;
        m_graph.draw(steps, *m_record);
        m_update.graphSteps += (m_update.graphSteps.empty() ? "" : ",") + steps.steps;
        m_update.graphDrawn = true;
    }

    void drawHelp()
    {
        StepRecorder steps;
        HelpText::print(steps);
        m_update.helpSteps = steps.steps;
        m_update.helpDrawn = true;
    }

    static std::string names(const std::vector<std::string> &list)
    {
        std::string out;
        for (const std::string &name : list)
            out += (out.empty() ? "" : ",") + quoted(name);
        return "[" + out + "]";
    }

    static std::string orNull(const std::string &text) { return text.empty() ? "null" : quoted(text); }

    std::string finish()
    {
        m_unloaded.reset();
        const Update &u = m_update;
        std::string json =
            "{\"created\":" + names(u.created) + ",\"destroyed\":" + names(u.destroyed) + ",\"show\":" + orNull(u.show);
        if (m_controller) {
            std::string enabled;
            for (const bool on : m_view.enabled)
                enabled += std::string(enabled.empty() ? "" : ",") + (on ? "true" : "false");
            json += ",\"main\":{\"enabled\":[" + enabled + "],\"labels\":{";
            const char *separator = "";
            for (const int n : {3, 4, 6, 7}) {
                json += separator + label(n) + ":" + quoted(m_view.labels[std::size_t(n)]);
                separator = ",";
            }
            json +=
                "},\"card\":" + std::to_string(m_view.card) + ",\"timer\":" + (m_view.timer ? "true" : "false") + "}";
        }
        json += ",\"focus\":" + (u.focus ? quoted("Command" + std::to_string(u.focus)) : std::string("null"))
            + ",\"announce\":" + orNull(u.announce) + ",\"cue\":" + orNull(u.cue) + ",\"ask\":"
            + (u.ask ? "true" : "false") + ",\"ended\":" + (u.ended ? "true" : "false") + ",\"pictures\":{";
        if (u.graphDrawn)
            json +=
                "\"Form2\":{\"steps\":[" + u.graphSteps + "],\"description\":" + quoted(m_graph.description()) + "}";
        if (u.helpDrawn)
            json += std::string(u.graphDrawn ? "," : "") + "\"Form4\":{\"steps\":[" + u.helpSteps + "]}";
        return json + "}}";
    }

    std::unique_ptr<Module1> m_record; // 400 KB: on the heap, never the stack
    SystemClock m_clock;
    ClockSeededCards m_cards;
    TickPacer::Duration m_now{};
    TickPacer m_pacer{std::chrono::milliseconds(1)};
    PageMainView m_view{m_pacer, m_now};
    ProgramFlow m_flow{*this};
    std::unique_ptr<MainWindowController> m_controller;
    std::unique_ptr<MainWindowController> m_unloaded;
    GraphPicture m_graph;
    std::string m_cue;
    Answer m_answer;
    bool m_asking = false;
    int m_focused = 0;
    Update m_update;
};

PageProgram &program()
{
    static PageProgram *const instance = new PageProgram;
    return *instance;
}

// The answer to the last call, kept until the next.
const char *answer(std::string text)
{
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

} // namespace

extern "C" {

const char *tavelk_design()
{
    return answer(designJson());
}

// Every text the program can put on screen, for the page's font subset: the
// designed captions, the help text and the graph's labels. Numbers are
// digits and a full stop.
const char *tavelk_texts()
{
    std::vector<std::string> texts{Design::Form1::kCaption, Design::kForm2.caption, Design::kForm4.caption,
                                   Design::kCloseCaption,   Design::kExitBox.title, Design::kExitBox.question,
                                   Design::kExitBox.yes,    Design::kExitBox.no,    "0123456789.-"};
    for (const Design::Button &b : Design::Form1::kButtons)
        texts.push_back(b.caption);
    for (const Design::Label &l : Design::Form1::kLabels)
        texts.push_back(l.text);
    for (const std::string &help : HelpText::lines())
        texts.push_back(help);
    StepRecorder graph;
    const auto empty = std::make_unique<Module1>();
    GraphPicture().draw(graph, *empty);
    texts.insert(texts.end(), graph.printed.begin(), graph.printed.end());
    std::string json;
    for (const std::string &text : texts)
        json += (json.empty() ? "" : ",") + quoted(text);
    return answer("[" + json + "]");
}

const char *tavelk_start(double nowMs)
{
    program().begin(nowMs);
    return answer(program().start());
}

const char *tavelk_click(int command, double nowMs)
{
    program().begin(nowMs);
    return answer(program().click(command));
}

const char *tavelk_ticks(double nowMs)
{
    program().begin(nowMs);
    return answer(program().ticks());
}

const char *tavelk_exit_answer(int yes)
{
    program().begin(0);
    return answer(program().answerExit(yes != 0));
}

const char *tavelk_activate(int window)
{
    program().begin(0);
    return answer(program().activate(window));
}

const char *tavelk_close(int window, int byOwnButton)
{
    program().begin(0);
    return answer(program().close(window, byOwnButton != 0));
}

// The button the pupil has put the keyboard focus on (1..8), so that a step
// that disables it hands the focus on from there.
void tavelk_focus(int command)
{
    program().focus(command);
}

} // extern "C"
