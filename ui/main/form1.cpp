// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/form1.h"

#include "core/design.h"
#include "ui/common/fonts.h"
#include "ui/common/fromcore.h"
#include "ui/common/screenplacement.h"
#include "ui/main/boxlabel.h"
#include "ui/main/cardstack.h"
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

    buildButtons();
    buildLabels();

    // Timer1 ticks every 1 ms on a fixed schedule (see TickTimer).
    m_timer1.setInterval(1);
    // The value boxes whose texts the controller writes.
    m_publisher.setBoxes({box(3), box(4), box(6), box(7)});

    m_controller = std::make_unique<MainWindowController>(*this, shared, services);
    connectHandlers();
}

void Form1::buildButtons()
{
    for (const Design::Button &row : kButtons) {
        auto *button = new QPushButton(FromCore::text(row.caption), this);
        button->setObjectName(QStringLiteral("Command%1").arg(row.number));
        button->setGeometry(FromCore::rect(row.rect));
        button->setFont(Fonts::font(row.font));
        // Enter clicks the focused button only; there is no default button.
        button->setAutoDefault(true);
        button->setFocusPolicy(Qt::StrongFocus);
        m_commands[row.number - 1] = button;
    }
    for (int i = 1; i < 8; ++i)
        setTabOrder(m_commands[i - 1], m_commands[i]);
}

void Form1::buildLabels()
{
    for (const Design::Label &row : kLabels) {
        auto *label = new BoxLabel(FromCore::text(row.text), this);
        label->setObjectName(QStringLiteral("Label%1").arg(row.number));
        const QRect rect = FromCore::rect(row.rect);
        label->setGeometry(rect);
        // A box of fixed size: it never follows its text, and a new text
        // then asks the window for no layout pass on every tick.
        label->setFixedSize(rect.size());
        label->setFont(Fonts::designFont(kLabelPixelSize, row.bold));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, FromCore::colour(row.ground.rgb));
        // The boxes keep their white and light-yellow grounds under any
        // theme, so the window-text and button-text roles are read as their
        // classic black: a dark theme's light text would vanish on them.
        const bool fixedInk = row.ink.role == Design::Colour::Role::Fixed;
        pal.setColor(QPalette::WindowText, fixedInk ? FromCore::colour(row.ink.rgb) : QColor(Qt::black));
        label->setPalette(pal);
        m_labels[row.number - 1] = label;
    }
    for (const Design::CaptionLink &link : kCaptionLinks)
        box(link.value)->addCaption(box(link.caption));
}

BoxLabel *Form1::box(int number) const
{
    return static_cast<BoxLabel *>(m_labels[number - 1]);
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
