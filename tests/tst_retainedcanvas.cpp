// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/experiment.h"
#include "pixels.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/graph/form2.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace Pixels;

namespace {

// The graph's canvas: 633 x 321 with a 2 px frame, 1100 x 120 units.
constexpr int kGraphAreaWidth = 629;
constexpr int kGraphAreaHeight = 317;

int graphX(double x)
{
    return int(std::round(x * kGraphAreaWidth / 1100.0));
}
int graphY(double y)
{
    return int(std::round(y * kGraphAreaHeight / 120.0));
}

std::unique_ptr<RetainedCanvas> makeGraphCanvas()
{
    auto canvas = std::make_unique<RetainedCanvas>();
    canvas->setGeometry(0, 0, 633, 321);
    canvas->setScale(1100, 120);
    return canvas;
}

// A record whose first `count` ratios are `early` and the rest `late`.
std::unique_ptr<Module1> makeRecord(int autoDrawCount, float early, int count, float late)
{
    auto record = std::make_unique<Module1>();
    record->autoDrawCount = autoDrawCount;
    for (int n = 1; n < Module1::kHistorySize; ++n)
        record->ratioHistory[std::size_t(n)] = n <= count ? early : late;
    return record;
}

} // namespace

class TestRetainedCanvas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void frameAndArea();
    void mapping_data();
    void mapping();
    void psetMovesCurrentPosition();
    void lineIncludesBothEnds();
    void lineToStartsAtCurrentPosition();
    void clippedAtEdges_data();
    void clippedAtEdges();
    void printMovesDownOneLine();
    void printEmptyOnlyMovesDown();
    void printIsUnsmoothedAndClipped();
    void clsClearsAndResets();
    void repaintsFromRetainedImage();

    void graphAxesAndTicks();
    void graphDashedGuide();
    void graphCurveEnds_data();
    void graphCurveEnds();
    void graphCurveBeyondThousandIsClipped();
    void graphRedrawIsIdempotent();
    void graphOverlaysOldAndNewCurves();
};

void TestRetainedCanvas::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestRetainedCanvas::frameAndArea()
{
    auto canvas = makeGraphCanvas();
    QCOMPARE(canvas->frameWidth(), 2);
    QCOMPARE(canvas->contentsRect(), QRect(2, 2, 629, 317));
    QCOMPARE(canvas->areaSize(), QSize(629, 317));
    QCOMPARE(canvas->image().size(), QSize(629, 317));
    QVERIFY(isBlank(canvas->image()));
    QCOMPARE(canvas->foreground().rgb(), kBlack);

    // The sunken border takes exactly the outer two pixels.
    canvas->show();
    QVERIFY(QTest::qWaitForWindowExposed(canvas.get()));
    const QImage shot = canvas->grab().toImage();
    const QRgb shade = canvas->palette().color(QPalette::Dark).rgb();
    const QRgb light = canvas->palette().color(QPalette::Light).rgb();
    QVERIFY(shade != kWhite);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(pixel(shot, i, 160), shade);
        QCOMPARE(pixel(shot, 316, i), shade);
        QCOMPARE(pixel(shot, 632 - i, 160), light);
        QCOMPARE(pixel(shot, 316, 320 - i), light);
    }
    canvas->line(0, 0, 1100, 120, Qt::black);
    const QImage drawn = canvas->grab().toImage();
    QCOMPARE(pixel(drawn, 2, 2), kBlack);
    QCOMPARE(pixel(drawn, 1, 1), shade);
    QCOMPARE(pixel(drawn, 630, 318), kBlack);
    QCOMPARE(pixel(drawn, 631, 319), light);
}

void TestRetainedCanvas::mapping_data()
{
    QTest::addColumn<QSize>("widgetSize");
    QTest::addColumn<QSizeF>("scale");
    QTest::addColumn<QPointF>("user");
    QTest::addColumn<QPoint>("expected");

    const QSize graph(633, 321);
    const QSizeF graphScale(1100, 120);
    QTest::newRow("graph origin") << graph << graphScale << QPointF(0, 0) << QPoint(0, 0);
    QTest::newRow("graph axes corner") << graph << graphScale << QPointF(100, 110) << QPoint(57, 291);
    QTest::newRow("graph top tick start") << graph << graphScale << QPointF(95, 10) << QPoint(54, 26);
    QTest::newRow("graph first point") << graph << graphScale << QPointF(101, 10) << QPoint(58, 26);
    QTest::newRow("graph last column") << graph << graphScale << QPointF(1099, 119) << QPoint(628, 314);
    QTest::newRow("graph right edge") << graph << graphScale << QPointF(1100, 120) << QPoint(629, 317);
    QTest::newRow("graph negative") << graph << graphScale << QPointF(-10, -5) << QPoint(-6, -13);

    const QSize help(553, 449);
    const QSizeF twips(549 * 15, 445 * 15);
    QTest::newRow("twips one pixel") << help << twips << QPointF(15, 15) << QPoint(1, 1);
    QTest::newRow("twips round down") << help << twips << QPointF(22, 7) << QPoint(1, 0);
    QTest::newRow("twips round up") << help << twips << QPointF(23, 8) << QPoint(2, 1);

    QTest::newRow("pixels by default") << QSize(104, 54) << QSizeF() << QPointF(7.4, 7.6) << QPoint(7, 8);
}

void TestRetainedCanvas::mapping()
{
    QFETCH(QSize, widgetSize);
    QFETCH(QSizeF, scale);
    QFETCH(QPointF, user);
    QFETCH(QPoint, expected);

    RetainedCanvas canvas;
    canvas.setGeometry(QRect(QPoint(0, 0), widgetSize));
    if (!scale.isEmpty())
        canvas.setScale(scale.width(), scale.height());
    QCOMPARE(canvas.toPixel(user.x(), user.y()), expected);

    canvas.pset(user.x(), user.y(), Qt::red);
    const QRect area(QPoint(0, 0), canvas.areaSize());
    if (area.contains(expected)) {
        QCOMPARE(pixel(canvas.image(), expected.x(), expected.y()), qRgb(255, 0, 0));
        QImage blank(canvas.image());
        blank.setPixel(expected, kWhite);
        QVERIFY(isBlank(blank));
    } else {
        QVERIFY(isBlank(canvas.image()));
    }
}

void TestRetainedCanvas::psetMovesCurrentPosition()
{
    auto canvas = makeGraphCanvas();
    canvas->setCurrentPosition(3, 4);
    canvas->pset(101, 10, QColor(0, 0, 255));
    QCOMPARE(canvas->currentX(), 101.0);
    QCOMPARE(canvas->currentY(), 10.0);
    QCOMPARE(pixel(canvas->image(), 58, 26), kBlue);
}

void TestRetainedCanvas::lineIncludesBothEnds()
{
    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 104, 54);
    canvas.line(10, 20, 30, 20, Qt::black);
    QCOMPARE(canvas.currentX(), 30.0);
    QCOMPARE(canvas.currentY(), 20.0);
    const QImage &image = canvas.image();
    QCOMPARE(pixel(image, 9, 20), kWhite);
    for (int x = 10; x <= 30; ++x)
        QCOMPARE(pixel(image, x, 20), kBlack);
    QCOMPARE(pixel(image, 31, 20), kWhite);
    QCOMPARE(pixel(image, 20, 19), kWhite);
    QCOMPARE(pixel(image, 20, 21), kWhite);

    // A line of no length still leaves its one pixel.
    canvas.line(50, 40, 50, 40, Qt::black);
    QCOMPARE(pixel(canvas.image(), 50, 40), kBlack);
}

void TestRetainedCanvas::lineToStartsAtCurrentPosition()
{
    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 104, 54);
    canvas.setCurrentPosition(5, 5);
    canvas.lineTo(5, 15, Qt::black);
    canvas.lineTo(25, 15, Qt::blue);
    QCOMPARE(canvas.currentX(), 25.0);
    QCOMPARE(canvas.currentY(), 15.0);
    const QImage &image = canvas.image();
    for (int y = 5; y <= 14; ++y)
        QCOMPARE(pixel(image, 5, y), kBlack);
    for (int x = 5; x <= 25; ++x)
        QCOMPARE(pixel(image, x, 15), kBlue);
    QCOMPARE(pixel(image, 5, 4), kWhite);
    QCOMPARE(pixel(image, 26, 15), kWhite);
}

void TestRetainedCanvas::clippedAtEdges_data()
{
    QTest::addColumn<QLineF>("segment");
    QTest::addColumn<QList<QPoint>>("inked");
    QTest::addColumn<int>("inkCount");

    // Area is 100 x 50.
    QTest::newRow("past the right edge") << QLineF(90, 10, 130, 10) << QList<QPoint>{{90, 10}, {99, 10}} << 10;
    QTest::newRow("past the bottom edge") << QLineF(40, 45, 40, 80) << QList<QPoint>{{40, 45}, {40, 49}} << 5;
    QTest::newRow("from far left") << QLineF(-5000, 3, 2, 3) << QList<QPoint>{{0, 3}, {2, 3}} << 3;
    QTest::newRow("wholly outside") << QLineF(100, 0, 200, 60) << QList<QPoint>{} << 0;
    QTest::newRow("huge coordinates") << QLineF(-1e12, 20, 1e12, 20) << QList<QPoint>{{0, 20}, {99, 20}} << 100;
}

void TestRetainedCanvas::clippedAtEdges()
{
    QFETCH(QLineF, segment);
    QFETCH(QList<QPoint>, inked);
    QFETCH(int, inkCount);

    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 104, 54);
    canvas.line(segment.x1(), segment.y1(), segment.x2(), segment.y2(), Qt::black);
    const QImage &image = canvas.image();
    QCOMPARE(image.size(), QSize(100, 50));
    for (const QPoint &p : inked)
        QCOMPARE(pixel(image, p.x(), p.y()), kBlack);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += pixel(image, x, y) == kBlack;
    QCOMPARE(count, inkCount);
}

void TestRetainedCanvas::printMovesDownOneLine()
{
    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 553, 449);
    canvas.setScale(549 * 15, 445 * 15);
    canvas.setFont(Fonts::designFont(15, false));
    const int height = canvas.lineHeight();
    QVERIFY(height >= 15);

    canvas.setCurrentPosition(300, 150);
    canvas.print(QStringLiteral("A"));
    QCOMPARE(canvas.currentX(), 0.0);
    QCOMPARE(canvas.currentY(), 150.0 + height * 15);

    // The text's top-left is at the current position: ink starts at or
    // below the top row and at or right of the left column, within a line.
    const QImage &image = canvas.image();
    int top = image.height(), left = image.width(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixel(image, x, y) != kWhite) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
            }
    QVERIFY(top >= 10);
    QVERIFY(bottom < 10 + height);
    QVERIFY(left >= 20);
    QVERIFY(left <= 22);
}

void TestRetainedCanvas::printEmptyOnlyMovesDown()
{
    auto canvas = makeGraphCanvas();
    canvas->setCurrentPosition(60, 8);
    canvas->print(QString());
    QVERIFY(isBlank(canvas->image()));
    QCOMPARE(canvas->currentX(), 0.0);
    QCOMPARE(canvas->currentY(), 8.0 + canvas->lineHeight() * 120.0 / 317.0);
}

void TestRetainedCanvas::printIsUnsmoothedAndClipped()
{
    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 104, 54);
    canvas.setFont(Fonts::designFont(15, false));
    canvas.setForeground(Qt::blue);
    canvas.setCurrentPosition(0, 0);
    canvas.print(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    const QImage first = canvas.image();

    // Only the two pure colours: no smoothed edges that would darken.
    bool inkAtRightEdge = false;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x) {
            const QRgb c = pixel(first, x, y);
            QVERIFY2(c == kWhite || c == kBlue, qPrintable(QString::number(c, 16)));
            inkAtRightEdge |= x == first.width() - 1 && c == kBlue;
        }
    QVERIFY(inkAtRightEdge);
    // Not wrapped: nothing below the first line.
    for (int y = canvas.lineHeight(); y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            QCOMPARE(pixel(first, x, y), kWhite);

    canvas.setCurrentPosition(0, 0);
    canvas.print(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    QCOMPARE(canvas.image(), first);
}

void TestRetainedCanvas::clsClearsAndResets()
{
    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 104, 54);
    canvas.line(0, 0, 99, 49, Qt::black);
    canvas.cls();
    QVERIFY(isBlank(canvas.image()));
    QCOMPARE(canvas.currentX(), 0.0);
    QCOMPARE(canvas.currentY(), 0.0);
}

void TestRetainedCanvas::repaintsFromRetainedImage()
{
    RetainedCanvas canvas;
    canvas.setGeometry(0, 0, 104, 54);
    canvas.line(0, 0, 99, 49, Qt::black);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    canvas.hide();
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    const QImage shot = canvas.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.copy(2, 2, 100, 50), canvas.image().convertToFormat(QImage::Format_RGB32));
}

void TestRetainedCanvas::graphAxesAndTicks()
{
    const auto record = makeRecord(0, 0.0f, 0, 0.0f);
    Form2 form(*record);
    form.Form_Activate();
    const QImage &image = form.picture()->image();

    // Vertical axis, column 57 from y=5 to y=110.
    QCOMPARE(pixel(image, 57, graphY(5) - 1), kWhite);
    for (int y = graphY(5); y <= graphY(110); ++y)
        QCOMPARE(pixel(image, 57, y), kBlack);
    // Horizontal axis on row 291 to the right edge (the first point sits on it).
    for (int x = 57; x < kGraphAreaWidth; ++x)
        QCOMPARE(pixel(image, x, 291), x == 58 ? kBlue : kBlack);
    QCOMPARE(pixel(image, 56, 291), kWhite);
    QCOMPARE(pixel(image, 628, 290), kWhite);
    // The tick at y=50: 95..105 units.
    const int row = graphY(50);
    QCOMPARE(row, 132);
    QCOMPARE(pixel(image, 53, row), kWhite);
    for (int x = 54; x <= 60; ++x)
        QCOMPARE(pixel(image, x, row), kBlack);
    QCOMPARE(pixel(image, 61, row), kWhite);
    // A count tick at x=500: 109..111 units.
    for (int y = graphY(109); y <= graphY(111); ++y)
        QCOMPARE(pixel(image, graphX(500), y), kBlack);
    QCOMPARE(pixel(image, graphX(500), graphY(109) - 1), kWhite);
}

void TestRetainedCanvas::graphDashedGuide()
{
    const auto record = makeRecord(0, 0.0f, 0, 0.0f);
    Form2 form(*record);
    form.Form_Activate();
    const QImage &image = form.picture()->image();

    const int row = graphY(80);
    QCOMPARE(row, 211);
    std::vector<bool> dash(kGraphAreaWidth, false);
    for (int x = 100; x <= 1080; x += 20)
        for (int px = graphX(x); px <= std::min(graphX(x + 10), kGraphAreaWidth - 1); ++px)
            dash[std::size_t(px)] = true;
    // 50 dashes, the last from 1080 to 1090 units.
    QVERIFY(dash[57] && dash[63] && !dash[64] && !dash[68] && dash[69]);
    QVERIFY(dash[618] && dash[623] && !dash[624] && !dash[628]);
    // Left of 64 the "0.30" label may touch the line.
    for (int x = 64; x < kGraphAreaWidth; ++x)
        QCOMPARE(pixel(image, x, row), dash[std::size_t(x)] ? kBlack : kWhite);
    for (int x = 64; x < kGraphAreaWidth; ++x) {
        QCOMPARE(pixel(image, x, row - 1), kWhite);
        QCOMPARE(pixel(image, x, row + 1), kWhite);
    }
}

void TestRetainedCanvas::graphCurveEnds_data()
{
    QTest::addColumn<float>("ratio");
    QTest::addColumn<int>("row");

    QTest::newRow("ratio 1 on the top tick") << 1.0f << 26;
    QTest::newRow("ratio 0 on the axis") << 0.0f << 291;
}

void TestRetainedCanvas::graphCurveEnds()
{
    QFETCH(float, ratio);
    QFETCH(int, row);

    const auto record = makeRecord(1000, ratio, 1000, ratio);
    Form2 form(*record);
    form.Form_Activate();
    const QImage &image = form.picture()->image();
    QCOMPARE(graphY(10), 26);
    QCOMPARE(pixel(image, 57, row), kBlack);
    for (int x = 58; x < kGraphAreaWidth; ++x)
        QCOMPARE(pixel(image, x, row), kBlue);
    QCOMPARE(pixel(image, 628, row - 1) == kBlue, false);
    QCOMPARE(pixel(image, 628, row + 1) == kBlue, false);
}

void TestRetainedCanvas::graphCurveBeyondThousandIsClipped()
{
    // Past 1000 draws the curve runs off the right edge: a drop to 0 after
    // the 1000th draw must leave no mark, however long the run.
    const auto thousand = makeRecord(1000, 1.0f, 1000, 0.0f);
    Form2 reference(*thousand);
    reference.Form_Activate();

    for (const int count : {1001, 5000, Module1::kHistorySize - 1, 1 << 30}) {
        const auto record = makeRecord(count, 1.0f, 1000, 0.0f);
        Form2 form(*record);
        form.Form_Activate();
        QCOMPARE(form.picture()->image(), reference.picture()->image());
    }
}

void TestRetainedCanvas::graphRedrawIsIdempotent()
{
    auto record = makeRecord(1000, 0.3f, 1000, 0.3f);
    for (int n = 1; n <= 1000; ++n)
        record->ratioHistory[std::size_t(n)] = float(0.5 + 0.4 * std::sin(n / 37.0));
    Form2 form(*record);
    form.Form_Activate();
    const QImage once = form.picture()->image();
    QVERIFY(!isBlank(once));
    form.Form_Activate();
    form.Form_Activate();
    QCOMPARE(form.picture()->image(), once);
}

void TestRetainedCanvas::graphOverlaysOldAndNewCurves()
{
    auto record = makeRecord(1000, 1.0f, 1000, 1.0f);
    Form2 form(*record);
    form.Form_Activate();
    const QImage old = form.picture()->image();
    for (int n = 1; n <= 1000; ++n)
        record->ratioHistory[std::size_t(n)] = 0.0f;
    form.Form_Activate();
    const QImage &image = form.picture()->image();

    // The new drawing alone, as a fresh window shows it.
    Form2 fresh(*record);
    fresh.Form_Activate();
    const QImage &latest = fresh.picture()->image();

    // Whatever the new drawing does not cover still shows the old curve.
    QCOMPARE(image, overlaid(old, latest));
    for (int x = 61; x < kGraphAreaWidth; ++x) {
        QCOMPARE(pixel(image, x, 26), kBlue);
        QCOMPARE(pixel(image, x, 291), kBlue);
    }
}

QTEST_MAIN(TestRetainedCanvas)
#include "tst_retainedcanvas.moc"
