// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/experiment.h"
#include "expected.h"
#include "pixels.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/graph/form2.h"

#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <memory>
#include <type_traits>

using namespace Pixels;

namespace {

std::unique_ptr<Module1> makeRecord(int autoDrawCount, float ratio)
{
    auto record = std::make_unique<Module1>();
    record->autoDrawCount = autoDrawCount;
    for (int n = 1; n <= autoDrawCount && n < Module1::kHistorySize; ++n)
        record->ratioHistory[std::size_t(n)] = ratio;
    return record;
}

} // namespace

class TestGraphWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void creation();
    void ruleUnderTheButtons();
    void drawsWhenActivated();
    void textsStandClear_data();
    void textsStandClear();
    void destroyedBy_data();
    void destroyedBy();
    void recreatedBlank();
    void activationAfterResetAddsOnePoint();
    void readsTheRecordAtEachActivation();
};

void TestGraphWindow::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestGraphWindow::creation()
{
    const auto record = makeRecord(0, 0.0f);
    Form2 form(*record);
    QVERIFY(form.isWindow());
    QCOMPARE(form.windowTitle(), QString::fromUtf16(Expected::kGraphWindow.caption));
    QCOMPARE(form.geometry(), Expected::kGraphWindow.client);
    QCOMPARE(form.minimumSize(), Expected::kGraphWindow.client.size());
    QCOMPARE(form.maximumSize(), Expected::kGraphWindow.client.size());
    QVERIFY(form.testAttribute(Qt::WA_DeleteOnClose));

    QPushButton *button = form.closeButton();
    QCOMPARE(button->objectName(), QStringLiteral("Command1"));
    QCOMPARE(button->text(), QString::fromUtf16(Expected::kCloseCaption));
    QCOMPARE(button->geometry(), Expected::kGraphWindow.closeButton);
    QCOMPARE(button->font(), Fonts::dialogFont());
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());

    RetainedCanvas *picture = form.picture();
    QCOMPARE(picture->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(picture->geometry(), QRect(8, 40, 633, 321));
    QCOMPARE(picture->areaSize(), QSize(629, 317));
    QCOMPARE(picture->scaleWidth(), 1100.0);
    QCOMPARE(picture->scaleHeight(), 120.0);
    QCOMPARE(picture->font(), Fonts::graphFont());
    QCOMPARE(picture->foreground().rgb(), kBlack);
    QCOMPARE(picture->focusPolicy(), Qt::TabFocus);
    QCOMPARE(picture->nextInFocusChain(), static_cast<QWidget *>(button));
    QVERIFY(isBlank(picture->image()));
}

void TestGraphWindow::ruleUnderTheButtons()
{
    const auto record = makeRecord(0, 0.0f);
    Form2 form(*record);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage shot = form.grab().toImage();
    const QRgb text = form.palette().color(QPalette::WindowText).rgb();
    const QRgb face = form.palette().color(QPalette::Window).rgb();
    for (const int x : {0, 300, 583})
        QCOMPARE(pixel(shot, x, 24), text);
    QCOMPARE(pixel(shot, 300, 23), face);
    QCOMPARE(pixel(shot, 300, 25), face);
    QCOMPARE(pixel(shot, 649, 24), face);
}

void TestGraphWindow::drawsWhenActivated()
{
    const auto record = makeRecord(1000, 1.0f);
    Form2 form(*record);
    QVERIFY(isBlank(form.picture()->image()));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(pixel(form.picture()->image(), 300, 26), kBlue);
    QCOMPARE(pixel(form.picture()->image(), 57, 100), kBlack);
}

void TestGraphWindow::textsStandClear_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("scale 1") << 1.0;
    QTest::newRow("scale 1.5") << 1.5;
    QTest::newRow("scale 2") << 2.0;
}

// Each label and caption, printed alone, must be all there is within one
// device pixel of its ink in the whole graph: no axis, tick, dash or other
// text touches it.
void TestGraphWindow::textsStandClear()
{
    QFETCH(qreal, ratio);
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto screen = std::find_if(screens.begin(), screens.end(),
                                     [ratio](const QScreen *s) { return s->devicePixelRatio() == ratio; });
    QVERIFY(screen != screens.end());

    const auto record = makeRecord(0, 0.0f);
    Form2 form(*record);
    form.move((*screen)->geometry().topLeft() + QPoint(20, 20));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Qt 6.8's offscreen windows keep the ratio 1 on any screen.
    if (!QTest::qWaitFor([&] { return form.devicePixelRatioF() == ratio; }, 2000))
        QSKIP("this Qt gives the window no other pixel ratio than 1");
    RetainedCanvas &canvas = *form.picture();
    form.Form_Activate();
    const QImage graph = canvas.image();
    QCOMPARE(graph.devicePixelRatio(), ratio);

    for (const Expected::CanvasText &text : Expected::kGraphTexts) {
        const QString words = QString::fromUtf16(text.text);
        canvas.cls();
        canvas.setCurrentPosition(text.x, text.y);
        canvas.print(words);
        const QImage alone = canvas.image();
        const QRect ink = inkIn(alone, 0, alone.height());
        QVERIFY2(!ink.isNull(), qPrintable(words));
        if (words == u"1.00")
            qInfo("\"1.00\" at scale %g: %d device pixels wide", ratio, ink.width());
        const QRect around = ink.adjusted(-1, -1, 1, 1) & graph.rect();
        for (int y = around.top(); y <= around.bottom(); ++y)
            for (int x = around.left(); x <= around.right(); ++x)
                if (pixel(graph, x, y) != pixel(alone, x, y))
                    QFAIL(
                        qPrintable(QStringLiteral("\"%1\" is touched at device pixel %2,%3").arg(words).arg(x).arg(y)));
    }
}

void TestGraphWindow::destroyedBy_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("close button") << true;
    QTest::newRow("title bar") << false;
}

void TestGraphWindow::destroyedBy()
{
    QFETCH(bool, byButton);
    const auto record = makeRecord(10, 0.5f);
    QPointer<Form2> form = new Form2(*record);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.data()));
    if (byButton)
        QTest::mouseClick(form->closeButton(), Qt::LeftButton);
    else
        form->close();
    QTRY_VERIFY(form.isNull());
}

void TestGraphWindow::recreatedBlank()
{
    const auto record = makeRecord(1000, 0.5f);
    QPointer<Form2> first = new Form2(*record);
    first->Form_Activate();
    QVERIFY(!isBlank(first->picture()->image()));
    first->Command1_Click();
    QTRY_VERIFY(first.isNull());

    Form2 second(*record);
    QVERIFY(isBlank(second.picture()->image()));
}

void TestGraphWindow::activationAfterResetAddsOnePoint()
{
    auto record = makeRecord(1000, 1.0f);
    Form2 form(*record);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(pixel(form.picture()->image(), 300, 26), kBlue);
    const QImage before = form.picture()->image();

    // The main window's reset clears the counts and the first ratio.
    record->autoDrawCount = 0;
    record->ratioHistory[1] = 0.0f;
    form.Form_Activate();
    const QImage after = form.picture()->image();

    // What was added is exactly what a fresh window draws for the reset
    // record: the frame and a single point.
    Form2 fresh(*record);
    fresh.Form_Activate();
    const QImage &added = fresh.picture()->image();
    QCOMPARE(after, overlaid(before, added));
    QCOMPARE(pixel(added, 58, 291), kBlue);
    int bluePixels = 0;
    for (int y = 0; y < added.height(); ++y)
        for (int x = 0; x < added.width(); ++x)
            bluePixels += pixel(added, x, y) == kBlue;
    QCOMPARE(bluePixels, 1);

    // The old curve is still there; the redrawn top tick crosses three of
    // its pixels.
    QCOMPARE(pixel(after, 300, 26), kBlue);
    const QList<QPoint> changed{{58, 26}, {59, 26}, {60, 26}, {58, 291}};
    QCOMPARE(differences(before, after), changed);
}

// The graph is handed the record read-only; the compiler holds it to that.
static_assert(std::is_constructible_v<Form2, const Module1 &>);

void TestGraphWindow::readsTheRecordAtEachActivation()
{
    // Built while the record is empty, activated once a run has counted.
    auto record = makeRecord(0, 0.0f);
    Form2 form(*record);
    form.Form_Activate();
    QCOMPARE(pixel(form.picture()->image(), 300, 26), kWhite);
    for (int n = 1; n <= 1000; ++n)
        record->ratioHistory[std::size_t(n)] = 1.0f;
    record->autoDrawCount = 1000;
    form.Form_Activate();
    QCOMPARE(pixel(form.picture()->image(), 300, 26), kBlue);
}

int main(int argc, char *argv[])
{
    // Screens of ratio 1 (primary), 1.5 and 2 side by side, set before the
    // application object reads them.
    QTemporaryDir dir;
    QFile screens(dir.filePath(QStringLiteral("screens.json")));
    if (!screens.open(QIODevice::WriteOnly))
        return 1;
    screens.write(R"({"screens": [
        {"name": "1", "x": 0, "y": 0, "width": 1280, "height": 800, "dpr": 1},
        {"name": "1.5", "x": 1280, "y": 0, "width": 1280, "height": 800, "dpr": 1.5},
        {"name": "2", "x": 2560, "y": 0, "width": 1280, "height": 800, "dpr": 2}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestGraphWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_graphwindow.moc"
