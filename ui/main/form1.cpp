// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/form1.h"

#include "ui/common/fonts.h"
#include "ui/common/screenplacement.h"
#include "ui/main/boxlabel.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1layout.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimerEvent>

using namespace Form1Layout;

namespace {

// A screen shows a new picture about every 16 ms; a tick comes every 1 ms.
constexpr qint64 kFrameMs = 16;

QFont fontFor(FontSpec font)
{
    return font.pixelSize == 0 ? Fonts::dialogFont() : Fonts::designFont(font.pixelSize, font.bold);
}

} // namespace

Form1::Form1(Module1 &shared, MainWindowController::Services services, QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" Tavelk"));
    // One icon for every main window of the process: the window system is
    // handed the icon's pixmaps through Qt's pixmap cache, keyed by the icon,
    // so a new icon per window left a 32 x 32 pixmap there on each return
    // from help.
    static const QIcon icon(QStringLiteral(":/icons/tavelk32.bmp"));
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
}

void Form1::connectHandlers()
{
    MainWindowController *c = m_controller.get();
    connect(command(1), &QPushButton::clicked, this, [c] { c->Command1_Click(); });
    connect(command(2), &QPushButton::clicked, this, [c] { c->Command2_Click(); });
    connect(command(3), &QPushButton::clicked, this, [c] { c->Command3_Click(); });
    connect(command(4), &QPushButton::clicked, this, [c] { c->Command4_Click(); });
    connect(command(5), &QPushButton::clicked, this, [c] { c->Command5_Click(); });
    connect(command(6), &QPushButton::clicked, this, [c] { c->Command6_Click(); });
    connect(command(7), &QPushButton::clicked, this, [c] { c->Command7_Click(); });
    connect(command(8), &QPushButton::clicked, this, [c] { c->Command8_Click(); });
    connect(&m_timer1, &TickTimer::timeout, this, [c] { c->Timer1_Timer(); });
}

Form1::~Form1() = default;

void Form1::unload()
{
    m_timer1.stop();
    hide();
    deleteLater();
}

void Form1::setButtonEnabled(Button button, bool enabled) { command(static_cast<int>(button))->setEnabled(enabled); }

void Form1::setLabelText(Label label, const QString &text) { this->label(static_cast<int>(label))->setText(text); }

void Form1::setCardVisible(std::int16_t index, bool visible) { m_cards->setCardVisible(index, visible); }

void Form1::startTimer1() { m_timer1.start(); }

void Form1::stopTimer1() { m_timer1.stop(); }

void Form1::focusFirstButton()
{
    for (QPushButton *button : m_commands) {
        if (button->isEnabled()) {
            button->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// Qt asks the window to repaint what changed with one update request after
// any change. While Timer1 runs, that is after every 1 ms tick, and painting
// the card and the labels at that rate cost most of the run's CPU for
// pictures no screen shows. So a request that comes within a frame of the
// last repaint is held back until the frame is over; the labels' texts and
// the cards' visibility still change on every tick, and the last tick's
// state is always painted.
bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest) {
        if (m_timer1.isActive() && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kFrameMs) {
            if (!m_heldRepaint.isActive())
                m_heldRepaint.start(int(kFrameMs - m_sinceRepaint.elapsed()), Qt::PreciseTimer, this);
            return true;
        }
        m_heldRepaint.stop();
        m_sinceRepaint.start();
    }
    return QWidget::event(event);
}

void Form1::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_heldRepaint.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_heldRepaint.stop();
    QEvent request(QEvent::UpdateRequest);
    Form1::event(&request);
}

void Form1::paintEvent(QPaintEvent *)
{
    // Line1 runs across the whole client area under the top row; the buttons
    // and the title box are children and so cover it where they stand.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(0, kLineY, kClientSize.width(), kLineY);
}
