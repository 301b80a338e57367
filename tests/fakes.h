// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/mainview.h"
#include "core/randomcard.h"
#include "core/soundcue.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <deque>
#include <stdexcept>

// The main window's buttons as "+" for enabled and "-" for disabled,
// Command1 first; enabled(number) tells one button's state.
template <typename Enabled>
QString maskOf(Enabled enabled)
{
    QString mask;
    for (int b = 1; b <= 8; ++b)
        mask += enabled(b) ? QLatin1Char('+') : QLatin1Char('-');
    return mask;
}

// One log shared by the fakes, so tests can check the order of side effects.
struct EventLog {
    QStringList entries;
    void add(const QString &e) { entries << e; }
};

class FakeView : public MainView {
public:
    FakeView()
    {
        enabled.fill(true); // designed state: every button enabled
        visible.fill(true); // and every face visible
        visible[0] = false; // there is no face 0
    }

    void setButtonEnabled(Button b, bool on) override { enabled[static_cast<int>(b)] = on; }
    void setLabelText(Label l, const std::string &text) override
    {
        labels[static_cast<int>(l)] = QString::fromStdString(text);
    }
    void setCardVisible(std::int16_t index, bool on) override
    {
        if (index < 1 || index > 52)
            throw std::out_of_range("card index");
        visible[index] = on;
    }
    void startTimer1() override { timerRunning = true; }
    void stopTimer1() override { timerRunning = false; }

    QString buttonMask() const
    {
        return maskOf([this](int b) { return enabled[b]; });
    }
    QString text(Label l) const { return labels[static_cast<int>(l)]; }
    int visibleCount() const { return int(std::count(visible.begin(), visible.end(), true)); }
    int firstVisible() const
    {
        for (int i = 1; i <= 52; ++i)
            if (visible[i])
                return i;
        return 0;
    }

    std::array<bool, 9> enabled{};
    std::array<QString, 8> labels; // by label number; only 3, 4, 6 and 7 are written
    std::array<bool, 53> visible{};
    bool timerRunning = false;
};

// Hands out the given cards in turn, then repeats the last one.
class ScriptedCards : public CardSource {
public:
    std::deque<std::int16_t> queue;
    std::int16_t last = 1;
    std::int16_t pickCard() override
    {
        if (!queue.empty()) {
            last = queue.front();
            queue.pop_front();
        }
        return last;
    }
};

class RecordingSound : public SoundDevice {
public:
    explicit RecordingSound(EventLog &log, bool failing = false) : m_log(log), m_failing(failing) {}
    void stop() override { record(QStringLiteral("stop")); }
    void close() override { record(QStringLiteral("close")); }
    void setFileName(Cue cue) override
    {
        record(cue == Cue::End ? QStringLiteral("file endpinpon.wav") : QStringLiteral("file pinpon.wav"));
    }
    void open() override { record(QStringLiteral("open")); }
    void sound() override { record(QStringLiteral("sound")); }

private:
    void record(const QString &what)
    {
        m_log.add(what);
        if (m_failing)
            throw std::runtime_error("no sound device");
    }
    EventLog &m_log;
    bool m_failing;
};

class FakeConfirmation : public ExitConfirmation {
public:
    explicit FakeConfirmation(EventLog &log) : m_log(log) {}
    std::int32_t answer = kNo;
    // Answers at once, as a modal box does, unless the answer is to come
    // later: then it waits in pending until the test hands it over.
    bool deferred = false;
    Answer pending;
    void askExit(Answer reply) override
    {
        m_log.add(QStringLiteral("ask"));
        if (deferred)
            pending = std::move(reply);
        else
            reply(answer);
    }

private:
    EventLog &m_log;
};

class FakeWindows : public WindowActions {
public:
    explicit FakeWindows(EventLog &log) : m_log(log) {}
    void showGraph() override { m_log.add(QStringLiteral("graph")); }
    void replaceMainWithHelp() override { m_log.add(QStringLiteral("help")); }
    void endProgram() override { m_log.add(QStringLiteral("end")); }

private:
    EventLog &m_log;
};
