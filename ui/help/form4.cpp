#include "ui/help/form4.h"

#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/help/helptext.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPushButton>

#include <utility>

namespace {

// The canvas measures in twips.
constexpr int kTwipsPerPixel = 15;

} // namespace

Form4::Form4(std::function<void()> showMainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_showMainWindow(std::move(showMainWindow))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" Tavelk＿ヘルプ（設問と操作方法）"));
    setWindowIcon(QIcon());
    setFixedSize(570, 488);
    setGeometry(232, 149, 570, 488);

    m_command1 = new QPushButton(QStringLiteral("閉じる"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(504, 0, 57, 25);
    m_command1->setFont(Fonts::dialogFont());
    m_command1->setAutoDefault(false);
    m_command1->setDefault(false);
    connect(m_command1, &QPushButton::clicked, this, &Form4::Command1_Click);

    m_picture = new RetainedCanvas(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setGeometry(8, 32, 553, 449);
    m_picture->setFont(Fonts::designFont(15, false));
    m_picture->setFocusPolicy(Qt::TabFocus);
    const QSize area = m_picture->areaSize();
    m_picture->setScale(area.width() * kTwipsPerPixel, area.height() * kTwipsPerPixel);
    // The text is painted, so a screen reader gets it as the description.
    m_picture->setAccessibleName(QStringLiteral("ヘルプ（設問と操作方法）"));
    m_picture->setAccessibleDescription(HelpText::lines().join(QLatin1Char('\n')));

    setTabOrder(m_command1, m_picture);
}

bool Form4::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void Form4::paintEvent(QPaintEvent *)
{
    // The rule under the button row; the button, a child, hides part of it.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.drawLine(8, 24, 560, 24);
}

// Cleared first, so however often the window is activated the text is
// there exactly once.
void Form4::Form_Activate()
{
    RetainedCanvas::Batch batch(*m_picture);
    m_picture->cls();
    for (const QString &text : HelpText::lines())
        m_picture->print(text);
}

void Form4::Command1_Click()
{
    if (m_closing)
        return;
    m_closing = true;
    // Taken out first: the window is on its way to deletion after close().
    const std::function<void()> showMainWindow = std::move(m_showMainWindow);
    m_showMainWindow = nullptr;
    close();
    if (showMainWindow)
        showMainWindow();
}
