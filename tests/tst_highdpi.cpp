// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "expected.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/graph/form2.h"
#include "ui/help/form4.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"
#include "windowtesting.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <utility>

// The windows on a screen of pixel ratio 2, and the card display moved to
// screens of fractional ratios: the layout stays in device-independent pixels
// while pictures use every device pixel.
class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layoutKeepsDesignedGeometry();
    void windowsStayOnTheScreen_data();
    void windowsStayOnTheScreen();
    void cardFace_data();
    void cardFace();
    void cardFillsItsDevicePixels_data();
    void cardFillsItsDevicePixels();
    void canvasLinesAreOneDevicePixel_data();
    void canvasLinesAreOneDevicePixel();
    void canvasTextIsUnsmoothed();
};

namespace {

QSet<QRgb> coloursOf(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) | 0xff000000u);
    return colours;
}

// Calls back on every event of one type, before its receiver handles it.
class EventWatcher : public QObject {
public:
    EventWatcher(QObject *receiver, QEvent::Type type, std::function<void()> onEvent)
        : m_type(type), m_onEvent(std::move(onEvent))
    {
        receiver->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            m_onEvent();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_onEvent;
};

QScreen *screenOfRatio(qreal ratio)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto found = std::find_if(screens.begin(), screens.end(),
                                    [ratio](const QScreen *s) { return s->devicePixelRatio() == ratio; });
    return found == screens.end() ? nullptr : *found;
}

} // namespace

void TestHighDpi::initTestCase()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    Fonts::installSubstitutions();
}

void TestHighDpi::layoutKeepsDesignedGeometry()
{
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->devicePixelRatioF(), 2.0);
    QCOMPARE(form->size(), Expected::kMainWindow.client.size());
    for (const Expected::Button &row : Expected::kButtons)
        QCOMPARE(form->command(row.number)->geometry(), row.rect);
    QCOMPARE(form->cards()->geometry(), Expected::kCards);
}

// The windows open on the screen at the origin: 1280 x 800 device pixels at
// ratio 2, so 640 x 400 to lay windows out in. None of the three fits where
// it was designed.
void TestHighDpi::windowsStayOnTheScreen_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QRect>("client");
    QTest::newRow("main") << "main" << QRect(72, 49, 568, 351);
    // Wider than the screen: its left edge on the screen's; taller than the
    // screen: its top edge, with the close button, on the screen's. The
    // offscreen platform then puts its own frame there too: 2 device pixels, 1 here.
    QTest::newRow("graph") << "graph" << QRect(1, 22, 650, 378);
    QTest::newRow("help") << "help" << QRect(70, 1, 570, 488);
}

void TestHighDpi::windowsStayOnTheScreen()
{
    QFETCH(QString, window);
    QFETCH(QRect, client);
    QCOMPARE(QGuiApplication::screenAt(QPoint(0, 0))->availableGeometry(), QRect(0, 0, 640, 400));
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QWidget *shown = form;
    if (window == u"graph") {
        rig.windows.showGraph();
        shown = rig.windows.form2();
    } else if (window == u"help") {
        form->command(8)->click();
        shown = rig.windows.form4();
    }
    QVERIFY(shown);
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCOMPARE(shown->geometry(), client);
}

void TestHighDpi::cardFace_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("ace of spades") << 1;
    QTest::newRow("3 of clubs") << 16;
    QTest::newRow("queen of hearts") << 38;
    QTest::newRow("king of diamonds") << 52;
}

void TestHighDpi::cardFace()
{
    QFETCH(int, index);
    const QImage source(QStringLiteral(":/cards/card%1.bmp").arg(index, 2, 10, QLatin1Char('0')));
    QCOMPARE(source.size(), QSize(69, 93));

    CardStack cards;
    QCOMPARE(cards.size(), QSize(73, 105));
    const QPixmap &face = cards.facePixmap(std::int16_t(index));
    QCOMPARE(face.devicePixelRatio(), 2.0);
    QCOMPARE(face.size(), QSize(146, 210));
    QCOMPARE(face.deviceIndependentSize(), QSizeF(73, 105));

    // Nearest neighbour: each device pixel is the source pixel under its
    // centre, so no colour is blended and edges stay sharp.
    const QImage image = face.toImage().convertToFormat(QImage::Format_RGB32);
    const QImage original = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int sx = (2 * x + 1) * original.width() / (2 * image.width());
            const int sy = (2 * y + 1) * original.height() / (2 * image.height());
            if (image.pixel(x, y) != original.pixel(sx, sy))
                QFAIL(qPrintable(
                    QStringLiteral("device pixel %1,%2 is not source pixel %3,%4").arg(x).arg(y).arg(sx).arg(sy)));
        }
    }
    QVERIFY(coloursOf(image).subtract(coloursOf(original)).isEmpty());

    // What is painted on screen is that pixmap, device pixel for device pixel.
    for (std::int16_t i = 1; i <= CardStack::kFaces; ++i)
        cards.setCardVisible(i, i == index);
    const QPixmap shot = cards.grab();
    QCOMPARE(shot.devicePixelRatio(), 2.0);
    QCOMPARE(shot.toImage().convertToFormat(QImage::Format_RGB32), image);
}

// Qt rounds each edge of a widget to device pixels on its own; the face must
// cover exactly those pixels, wherever the rectangle stands in its window.
void TestHighDpi::cardFillsItsDevicePixels_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QRect>("devicePixels");
    const QPoint mainWindow = Expected::kCards.topLeft();
    QTest::newRow("main window, 1.25") << 1.25 << mainWindow << QRect(310, 260, 91, 131);
    QTest::newRow("main window, 1.5") << 1.5 << mainWindow << QRect(372, 312, 110, 158);
    // Edges at 1.25 and 92.5 device pixels round to 1 and 93: 92 pixels,
    // one more than 73 x 1.25 rounded, so a face of that size leaves a sliver.
    QTest::newRow("odd place, 1.25") << 1.25 << QPoint(1, 1) << QRect(1, 1, 92, 132);
}

void TestHighDpi::cardFillsItsDevicePixels()
{
    QFETCH(qreal, ratio);
    QFETCH(QPoint, place);
    QFETCH(QRect, devicePixels);
    QScreen *target = screenOfRatio(ratio);
    QVERIFY(target);

    QWidget window;
    window.setGeometry(100, 100, 400, 400);
    auto *cards = new CardStack(&window);
    cards->move(place);
    for (std::int16_t i = 2; i <= CardStack::kFaces; ++i)
        cards->setCardVisible(i, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.devicePixelRatioF(), 2.0);

    // Every paint must find the face already made for the ratio it paints
    // at: scaling 52 pictures inside a paint would stall it. Qt 6.8 paints
    // once more at the old ratio while the window moves.
    int paints = 0, unprepared = 0;
    EventWatcher watcher(cards, QEvent::Paint, [&] {
        const qreal painted = cards->devicePixelRatioF();
        if (painted == ratio)
            ++paints;
        const QSize wanted = painted == ratio ? devicePixels.size() : cards->size() * painted;
        const QPixmap &face = cards->facePixmap(1);
        if (face.devicePixelRatio() != painted || face.size() != wanted)
            ++unprepared;
    });
    window.move(target->geometry().topLeft() + QPoint(100, 100));
    QTRY_COMPARE(window.devicePixelRatioF(), ratio);
    QTRY_VERIFY(paints > 0);
    QCOMPARE(unprepared, 0);

    const QPixmap &face = cards->facePixmap(1);
    QCOMPARE(face.size(), devicePixels.size());
    // The window rendered as its backing store is, device pixel for device pixel.
    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.devicePixelRatio(), ratio);
    QCOMPARE(shot.copy(devicePixels), face.toImage().convertToFormat(QImage::Format_RGB32));
}

void TestHighDpi::canvasLinesAreOneDevicePixel_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("horizontal line") << "h";
    QTest::newRow("vertical line") << "v";
    QTest::newRow("point") << "p";
}

void TestHighDpi::canvasLinesAreOneDevicePixel()
{
    QFETCH(QString, kind);
    RetainedCanvas canvas;
    canvas.resize(104, 84); // a 100 x 80 area inside the 2 px frame
    canvas.cls();
    if (kind == QLatin1String("h"))
        canvas.line(10, 20, 60, 20, Qt::blue);
    else if (kind == QLatin1String("v"))
        canvas.line(30, 10, 30, 50, Qt::blue);
    else
        canvas.pset(40, 30, Qt::blue);

    const QImage &image = canvas.image();
    QCOMPARE(image.size(), QSize(200, 160));
    QCOMPARE(image.devicePixelRatio(), 2.0);
    QRect ink;
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != QColor(Qt::white).rgb()) {
                QCOMPARE(image.pixel(x, y), QColor(Qt::blue).rgb());
                ink |= QRect(x, y, 1, 1);
                ++inked;
            }
    if (kind == QLatin1String("h"))
        QCOMPARE(ink, QRect(20, 40, 101, 1));
    else if (kind == QLatin1String("v"))
        QCOMPARE(ink, QRect(60, 20, 1, 81));
    else
        QCOMPARE(ink, QRect(80, 60, 1, 1));
    QCOMPARE(inked, ink.width() * ink.height());
}

void TestHighDpi::canvasTextIsUnsmoothed()
{
    RetainedCanvas canvas;
    canvas.resize(204, 44);
    canvas.setFont(Fonts::designFont(15, false));
    canvas.cls();
    canvas.print(QStringLiteral("実験回数 0.30"));
    const QImage &image = canvas.image();
    QCOMPARE(image.size(), QSize(400, 80));
    const QSet<QRgb> colours = coloursOf(image);
    QCOMPARE(colours, QSet<QRgb>({QColor(Qt::white).rgb(), QColor(Qt::black).rgb()}));
    // Glyphs are drawn at the device size: the text is twice as tall in
    // device pixels as the logical line height.
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == QColor(Qt::black).rgb()) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    QVERIFY(bottom - top + 1 > canvas.lineHeight());
}

int main(int argc, char *argv[])
{
    // Three screens side by side, the first one primary, at ratios 2, 1.25
    // and 1.5, given in device pixels: the first is 1280 x 800 (640 x 400 at
    // ratio 2), the others 1024 x 768 device-independent pixels. The ratios
    // are Qt's own scale factors: Qt 6.8 windows do not take on the ratio
    // that the offscreen platform's screen reports. Both must be set before the
    // application object reads the screens.
    QTemporaryDir dir;
    QFile screens(dir.filePath(QStringLiteral("screens.json")));
    if (!screens.open(QIODevice::WriteOnly))
        return 1;
    screens.write(R"({"screens": [
        {"name": "2", "x": 0, "y": 0, "width": 1280, "height": 800},
        {"name": "1.25", "x": 1280, "y": 0, "width": 1280, "height": 960},
        {"name": "1.5", "x": 2560, "y": 0, "width": 1536, "height": 1152}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    qputenv("QT_SCREEN_SCALE_FACTORS", "2=2;1.25=1.25;1.5=1.5");
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
