#include "ui/graph/form2.h"

#include "core/cardrules.h"
#include "core/experiment.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);

} // namespace

Form2::Form2(const Module1 &record, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_record(record)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" グラフ"));
    setWindowIcon(QIcon());
    setFixedSize(650, 378);
    setGeometry(211, 113, 650, 378);

    m_picture = new RetainedCanvas(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setGeometry(8, 40, 633, 321);
    m_picture->setFont(Fonts::dialogFont());
    m_picture->setFocusPolicy(Qt::TabFocus);
    m_picture->setScale(1100, 120);
    m_picture->setAccessibleName(QStringLiteral("割合のグラフ"));

    m_command1 = new QPushButton(QStringLiteral("閉じる"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(584, 0, 65, 25);
    m_command1->setFont(Fonts::dialogFont());
    m_command1->setAutoDefault(false);
    m_command1->setDefault(false);
    connect(m_command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    setTabOrder(m_picture, m_command1);
}

bool Form2::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void Form2::paintEvent(QPaintEvent *)
{
    // The rule under the button row; the button, a child, hides its right end.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.drawLine(0, 24, 648, 24);
}

// Drawn on every activation without clearing, so earlier curves stay
// visible under the new one for comparison.
void Form2::Form_Activate()
{
    RetainedCanvas::Batch batch(*m_picture);
    drawFrame();
    drawCurve();
    describeCurve();
}

void Form2::Command1_Click()
{
    close();
}

void Form2::drawFrame()
{
    RetainedCanvas &c = *m_picture;
    c.line(100, 5, 100, 110, kBlack);
    c.line(100, 110, 1100, 110, kBlack);
    for (int y = 10; y <= 100; y += 10)
        c.line(95, y, 105, y, kBlack);
    // The theoretical ratio 16/52 is about 0.30: a dashed guide.
    for (int x = 100; x <= 1080; x += 20)
        c.line(x, 80, x + 10, 80, kBlack);

    const auto label = [&c](double x, double y, const QString &text) {
        c.setCurrentPosition(x, y);
        c.print(text);
    };
    label(60, 110, QStringLiteral("0.00"));
    label(60, 77, QStringLiteral("0.30"));
    label(60, 8, QStringLiteral("1.00"));

    for (int x = 100; x <= 1000; x += 100)
        c.line(x, 109, x, 111, kBlack);
    for (int n = 100; n <= 900; n += 100)
        label(n + 80, 112, QString::number(n));

    label(140, 10, QStringLiteral("(縦軸はTavelkを引いた割合)"));
    label(900, 100, QStringLiteral("(横軸は実験回数)"));
}

void Form2::drawCurve()
{
    RetainedCanvas &c = *m_picture;
    const auto &history = m_record.ratioHistory;
    // The ordinate is worked out in single precision, as the record stores it.
    const auto ordinate = [&history](int n) { return 110.0f - 100.0f * history[n]; };

    c.pset(101, ordinate(1), kBlue);
    const int last = std::min<int>(m_record.autoDrawCount, Module1::kHistorySize - 1);
    for (int n = 2; n <= last; ++n)
        c.lineTo(n + 100, ordinate(n), kBlue);
}

// The picture says nothing to a screen reader, so say in words what it shows.
void Form2::describeCurve()
{
    const int last = std::min<int>(m_record.autoDrawCount, Module1::kHistorySize - 1);
    m_picture->setAccessibleDescription(
        last < 1 ? QStringLiteral("割合のグラフ。自動実験の記録はまだありません")
                 : QStringLiteral("実験回数 %1 回までの割合のグラフ。最後の割合 %2")
                       .arg(last)
                       .arg(CardRules::formatRatio(m_record.ratioHistory[last])));
}
