// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/form1.h"

#include "core/cardrules.h"
#include "ui/common/fonts.h"
#include "ui/common/screenplacement.h"
#include "ui/main/boxlabel.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1layout.h"
#include "ui/main/windowicon.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Form1Layout;

namespace {

QFont fontFor(FontSpec font)
{
    return font.pixelSize == 0 ? Fonts::dialogFont() : Fonts::designFont(font.pixelSize, font.bold);
}

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
    setWindowTitle(QStringLiteral(" Tavelk"));
    // One icon for every main window of the process: the window system is
    // handed the icon's pixmaps through Qt's pixmap cache, keyed by the icon,
    // so a new icon per window left a 32 x 32 pixmap there on each return
    // from help.
    static const QIcon icon = mainWindowIcon();
    setWindowIcon(icon);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setGeometry(QRect(kScreenPosition, kClientSize));
    setFixedSize(kClientSize);
    ScreenPlacement::keepOnScreen(this);

    // Children are stacked in creation order: the card display first, so the
    // top row of controls and the labels lie over the ruled line drawn by
    // paintEvent, and nothing overlaps the cards.
    m_cards = new CardStack(this);
    m_cards->move(kCardRect.topLeft());

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
    for (const ButtonSpec &row : kButtons) {
        auto *button = new QPushButton(QString::fromUtf16(row.caption), this);
        button->setObjectName(QStringLiteral("Command%1").arg(row.number));
        button->setGeometry(row.rect);
        button->setFont(fontFor(row.font));
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
    for (const LabelSpec &row : kLabels) {
        auto *label = new BoxLabel(QString::fromUtf16(row.text), this);
        label->setObjectName(QStringLiteral("Label%1").arg(row.number));
        label->setGeometry(row.rect);
        // A box of fixed size: it never follows its text, and a new text
        // then asks the window for no layout pass on every tick.
        label->setFixedSize(row.rect.size());
        label->setFont(Fonts::designFont(kLabelPixelSize, row.bold));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, row.background);
        // The boxes keep their white and light-yellow grounds under any
        // theme, so the window-text and button-text roles are read as their
        // classic black: a dark theme's light text would vanish on them.
        pal.setColor(QPalette::WindowText, row.colour.rgb.isValid() ? row.colour.rgb : QColor(Qt::black));
        label->setPalette(pal);
        m_labels[row.number - 1] = label;
    }
    for (const CaptionLink &link : kCaptionLinks)
        box(link.value)->addCaption(box(link.caption));
}

BoxLabel *Form1::box(int number) const
{
    return static_cast<BoxLabel *>(m_labels[number - 1]);
}

void Form1::connectHandlers()
{
    using C = MainWindowController;
    MainWindowController *c = m_controller.get();
    connect(command(1), &QPushButton::clicked, this, [this] {
        runStep(&C::Command1_Click, 2);
        m_announcer.announce(CardRules::cardName(m_cards->topCard()) + QStringLiteral("。") + countsText());
    });
    connect(command(2), &QPushButton::clicked, this, [this] { runStep(&C::Command2_Click, 1); });
    connect(command(3), &QPushButton::clicked, this, [c] { c->Command3_Click(); });
    connect(command(4), &QPushButton::clicked, this, [this] {
        runStep(&C::Command4_Click, 5);
        m_announcer.announce(QStringLiteral("自動実験を始めます"));
    });
    connect(command(5), &QPushButton::clicked, this, [this] { runStep(&C::Command5_Click, 0); });
    connect(command(6), &QPushButton::clicked, this, [this] {
        runStep(&C::Command6_Click, 2);
        m_announcer.announce(QStringLiteral("初期化しました。実験を最初からやり直します"));
    });
    connect(command(7), &QPushButton::clicked, this, [c] { c->Command7_Click(); });
    connect(command(8), &QPushButton::clicked, this, [c] { c->Command8_Click(); });
    connect(&m_timer1, &TickTimer::timeout, this, [this] { runStep(&C::Timer1_Timer, 0); });
}

void Form1::runStep(void (MainWindowController::*handler)(), int nextFocus)
{
    const bool wasRunning = m_controller->record().runMode == 1;
    m_focus.run([&] { (m_controller.get()->*handler)(); }, nextFocus == 0 ? nullptr : command(nextFocus));
    if (wasRunning && m_controller->record().runMode != 1)
        m_announcer.announce(QStringLiteral("自動実験が終わりました。") + countsText());
}

QString Form1::countsText() const
{
    QString counts = QStringLiteral("引いた全カード枚数 %1、３の倍数 %2").arg(label(3)->text(), label(4)->text());
    if (!label(6)->text().isEmpty()) // no ratio before the first draw
        counts += QStringLiteral("、割合 ") + label(6)->text();
    return counts;
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

void Form1::setLabelText(Label label, const QString &text)
{
    BoxLabel *value = box(static_cast<int>(label));
    value->setText(text);
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
    painter.drawLine(0, kLineY, kClientSize.width(), kLineY);
}
