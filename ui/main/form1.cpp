// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/form1.h"

#include "core/design.h"
#include "ui/common/fonts.h"
#include "ui/common/fromcore.h"
#include "ui/common/screenplacement.h"
#include "ui/main/boxlabel.h"
#include "ui/main/cardstack.h"
#include "ui/main/designedcontrols.h"
#include "ui/main/windowicon.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Design::Form1;
using Form1Steps::Step;

namespace {

// A plain widget is a "filler" to assistive tools; the main window is a window.
QAccessibleInterface *form1Accessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("Form1") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

Form1::Form1(Module1 &shared, MainWindowController::Services services, QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(form1Accessible), true);
    Q_UNUSED(factoryInstalled);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(FromCore::text(kCaption));
    // One icon for every main window of the process: the window system is
    // handed the icon's pixmaps through Qt's pixmap cache, keyed by the icon,
    // so a new icon per window left a 32 x 32 pixmap there on each return
    // from help.
    static const QIcon icon = mainWindowIcon();
    setWindowIcon(icon);
    setBackgroundRole(FromCore::role(kBackground));
    setAutoFillBackground(true);
    const QRect client = FromCore::rect(kClient);
    setGeometry(client);
    setFixedSize(client.size());
    ScreenPlacement::keepOnScreen(this);

    // Children are stacked in creation order: the card display first, so the
    // top row of controls and the labels lie over the ruled line drawn by
    // paintEvent, and nothing overlaps the cards.
    m_cards = new CardStack(this);
    m_cards->move(FromCore::rect(kCards).topLeft());

    m_commands = DesignedControls::buttons(this);
    m_labels = DesignedControls::labels(this);

    // Timer1 ticks every 1 ms on a fixed schedule (see TickTimer).
    m_timer1.setInterval(1);
    // The value boxes whose texts the controller writes.
    m_publisher.setBoxes({box(3), box(4), box(6), box(7)});

    m_controller = std::make_unique<MainWindowController>(*this, shared, services);
    connectHandlers();
}

BoxLabel *Form1::box(int number) const
{
    return m_labels[number - 1];
}

void Form1::connectHandlers()
{
    for (int number = 1; number <= 8; ++number)
        connect(command(number), &QPushButton::clicked, this, [this, number] { runStep(Step(number)); });
    connect(&m_timer1, &TickTimer::timeout, this, [this] { runStep(Step::Timer1); });
}

void Form1::runStep(Step step)
{
    if (!Form1Steps::keepsFocus(step)) {
        // Help unloads this window inside the step: nothing may follow it.
        Form1Steps::run(*m_controller, step);
        return;
    }
    const bool wasRunning = m_controller->record().runMode == 1;
    m_focus.run([&] { Form1Steps::run(*m_controller, step); }, Form1Steps::preferredFocus(step));
    // Told after the focus has settled: before Qt 6.8 the sentence rides on
    // the focused button.
    const std::string sentence = Form1Steps::announcement(step, *m_controller, wasRunning);
    if (!sentence.empty())
        m_announcer.announce(FromCore::text(sentence));
}

void Form1::unload()
{
    m_timer1.stop();
    m_publisher.cancel();
    hide();
    deleteLater();
}

void Form1::setButtonEnabled(Button button, bool enabled)
{
    m_focus.setEnabled(command(static_cast<int>(button)), enabled);
}

void Form1::setLabelText(Label label, const std::string &text)
{
    BoxLabel *value = box(static_cast<int>(label));
    value->setText(FromCore::text(text));
    m_publisher.textChanged(value);
}

void Form1::setCardVisible(std::int16_t index, bool visible)
{
    m_cards->setCardVisible(index, visible);
}

void Form1::startTimer1()
{
    m_timer1.start();
}

void Form1::stopTimer1()
{
    m_timer1.stop();
    m_publisher.publishAll();
}

void Form1::focusFirstButton()
{
    m_focus.focusFirst();
}

void Form1::paintEvent(QPaintEvent *)
{
    // Line1 runs across the whole client area under the top row; the buttons
    // and the title box are children and so cover it where they stand.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(FromCore::line(kLine));
}
