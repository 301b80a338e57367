// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/help/form4.h"
#include "ui/help/helptext.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
constexpr char16_t kIdeographicSpace = u'\u3000';

QRgb pixel(const QImage &image, int x, int y) { return image.pixel(x, y) | 0xff000000u; }

// Ink bounds of the rows [top, bottom) of an image; null when blank.
QRect inkIn(const QImage &image, int top, int bottom)
{
    QRect ink;
    for (int y = top; y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixel(image, x, y) != kWhite)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QList<int> positionsOf(const QString &text, QChar c)
{
    QList<int> positions;
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) == c)
            positions.append(i);
    return positions;
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void lineCount();
    void indents_data();
    void indents();
    void asciiSpaces_data();
    void asciiSpaces();
    void literalLines_data();
    void literalLines();

    void creation();
    void printsOneLinePerLineHeight();
    void longLineIsClippedNotWrapped();
    void reactivationLeavesOneCopy();
    void drawsWhenActivated();
    void closeButtonDestroysAndShowsMain();
    void titleBarCloseOnlyDestroys();
};

void TestHelpWindow::initTestCase()
{
    Fonts::installSubstitutions();
}

void TestHelpWindow::lineCount()
{
    QCOMPARE(HelpText::kLineCount, 23);
    QCOMPARE(HelpText::lines().size(), 23);
    QCOMPARE(HelpText::line(-1), QString());
    QCOMPARE(HelpText::line(23), QString());
}

void TestHelpWindow::indents_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("indent");
    const int indents[] = {0, 1, 8, 8, 8, 7, 8, 7, 8, 7, 8, 7, 8, 7, 0, 1, 8, 7, 8, 7, 8, 7, 8};
    for (int i = 0; i < 23; ++i)
        QTest::addRow("line %d", i + 1) << i + 1 << indents[i];
}

void TestHelpWindow::indents()
{
    QFETCH(int, number);
    QFETCH(int, indent);
    QCOMPARE(HelpText::entries()[std::size_t(number - 1)].indent, indent);
    const QString text = HelpText::line(number - 1);
    int leading = 0;
    while (leading < text.size() && text.at(leading) == QChar(kIdeographicSpace))
        ++leading;
    QCOMPARE(leading, indent);
    const bool empty = number == 1 || number == 15;
    QCOMPARE(text.isEmpty(), empty);
    // Beyond the indent the only ideographic spaces are the two inside the
    // first heading.
    const QList<int> inner = positionsOf(text.mid(indent), QChar(kIdeographicSpace));
    const QList<int> expected = number == 2 ? QList<int>{2, 3} : QList<int>{};
    QCOMPARE(inner, expected);
}

void TestHelpWindow::asciiSpaces_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QList<int>>("positions"); // after the indent

    for (int n = 1; n <= 23; ++n) {
        QList<int> positions;
        switch (n) {
        case 5: positions = {29, 31, 33, 35, 37, 39}; break;
        case 6: positions = {1, 4}; break;
        case 9: positions = {27, 33}; break;
        case 13: positions = {17, 23}; break;
        case 19: positions = {12, 35}; break;
        default: break;
        }
        QTest::addRow("line %d", n) << n << positions;
    }
}

void TestHelpWindow::asciiSpaces()
{
    QFETCH(int, number);
    QFETCH(QList<int>, positions);
    const auto &entry = HelpText::entries()[std::size_t(number - 1)];
    const QString text = HelpText::line(number - 1).mid(entry.indent);
    QCOMPARE(positionsOf(text, QLatin1Char(' ')), positions);
}

void TestHelpWindow::literalLines_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");

    QTest::newRow("line 1") << 1 << QString();
    QTest::newRow("line 2") << 2 << QString::fromUtf16(u"\u3000\u3010\u554f\u3000\u3000\u984c\u3011");
    QTest::newRow("line 3") << 3
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3053\u3053\u306b"
                              u"\u30c8\u30e9\u30f3\u30d6\u304c\uff11\u7d44\u3042\u308a\u307e\u3059\u3002");
    QTest::newRow("line 5") << 5
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\uff13\u306e\u500d"
                              u"\u6570\u306f\u3001\u30b9\u30da\u30fc\u30c9\u3001\u30af\u30ed\u30fc"
                              u"\u30d0\u3001\u30c0\u30a4\u30e4\u3001\u30cf\u30fc\u30c8\u306b\u3001"
                              u"\u305d\u308c\u305e\u308c \uff13 \u3068 \uff16 \u3068 \uff19 ");
    QTest::newRow("line 6") << 6
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3068 \uff11\uff12 \u306e"
                              u"\uff14\u679a\u305a\u3064\u3042\u308b\u306e\u3067\u3001\uff14\u00d7"
                              u"\uff14\uff1d\uff11\uff16\u679a\u3042\u308a\u307e\u3059\u3002");
    QTest::newRow("line 9") << 9
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\uff15\uff12\u679a"
                              u"\u306e\u3046\u3061\uff11\uff16\u679a\u304c\uff13\u306e\u500d\u6570"
                              u"\u306e\u30ab\u30fc\u30c9\u306a\u306e\u3067\u3001\u6570\u5b66\u7684"
                              u"\u306b\u306f \uff11\uff16\uff0f\uff15\uff12 \u306b\u306a\u308a");
    QTest::newRow("line 13") << 13
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3067\u306f\u3001"
                              u"\u6570\u5b66\u7684\u306b\u6c42\u3081\u305f\u7406\u8ad6\u4e0a\u306e"
                              u"\u78ba\u7387\u306e \uff11\uff16\uff0f\uff15\uff12 \u3068\u306e\u95a2"
                              u"\u4fc2\u306f\u3069\u3046\u306a\u3063\u3066\u3044");
    QTest::newRow("line 16") << 16 << QString::fromUtf16(u"\u3000\u3010\u64cd\u4f5c\u65b9\u6cd5\u3011");
    QTest::newRow("line 19") << 19
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u81ea\u52d5\u3067"
                              u"\u3084\u308b\u5834\u5408\u306f\u3001\uff3b\u81ea\u52d5 Start\uff3d"
                              u"\u30dc\u30bf\u30f3\u3092\u30af\u30ea\u30c3\u30af\u3057\u3001\u6b21"
                              u"\u306b\u3001\uff3b\u81ea\u52d5 Stop\uff3d");
    QTest::newRow("line 23") << 23
        << QString::fromUtf16(u"\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\uff3b\u521d\u671f"
                              u"\u5316\uff3d\u30dc\u30bf\u30f3\u3092\u30af\u30ea\u30c3\u30af\u3059"
                              u"\u308b\u3068\u3001\u5b9f\u9a13\u3092\u6700\u521d\u304b\u3089\u3084"
                              u"\u308a\u76f4\u305b\u307e\u3059\u3002");
}

void TestHelpWindow::literalLines()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    QCOMPARE(HelpText::line(number - 1), expected);
}

void TestHelpWindow::creation()
{
    Form4 form;
    QVERIFY(form.isWindow());
    QCOMPARE(form.windowTitle(),
             QString::fromUtf16(u" Tavelk\uff3f\u30d8\u30eb\u30d7\uff08\u8a2d\u554f\u3068\u64cd\u4f5c"
                                u"\u65b9\u6cd5\uff09"));
    QCOMPARE(form.geometry(), QRect(232, 149, 570, 488));
    QCOMPARE(form.minimumSize(), QSize(570, 488));
    QCOMPARE(form.maximumSize(), QSize(570, 488));
    QVERIFY(form.testAttribute(Qt::WA_DeleteOnClose));

    QPushButton *button = form.closeButton();
    QCOMPARE(button->text(), QString::fromUtf16(u"\u9589\u3058\u308b"));
    QCOMPARE(button->geometry(), QRect(504, 0, 57, 25));
    QCOMPARE(button->font(), Fonts::dialogFont());
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());

    RetainedCanvas *picture = form.picture();
    QCOMPARE(picture->geometry(), QRect(8, 32, 553, 449));
    QCOMPARE(picture->areaSize(), QSize(549, 445));
    QCOMPARE(picture->scaleWidth(), 549.0 * 15);
    QCOMPARE(picture->scaleHeight(), 445.0 * 15);
    QCOMPARE(picture->font(), Fonts::designFont(15, false));
    QCOMPARE(picture->foreground().rgb(), kBlack);
    QCOMPARE(button->nextInFocusChain(), static_cast<QWidget *>(picture));
    QCOMPARE(picture->focusPolicy(), Qt::TabFocus);

    if (QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
        QCOMPARE(QFontInfo(picture->font()).family(), QStringLiteral("IPAPGothic"));
}

void TestHelpWindow::printsOneLinePerLineHeight()
{
    Form4 form;
    form.Form_Activate();
    const QImage &image = form.picture()->image();
    const int height = form.picture()->lineHeight();
    QVERIFY(height >= 15);

    // Pure black on white only: the text is drawn unsmoothed.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(pixel(image, x, y) == kWhite || pixel(image, x, y) == kBlack);

    // The empty lines leave their band blank.
    QVERIFY(inkIn(image, 0, height).isNull());
    QVERIFY(inkIn(image, 14 * height, 15 * height).isNull());
    // Below the last line nothing at all.
    QVERIFY(inkIn(image, 23 * height, image.height()).isNull());

    // Each printed line inks only its own band, starting past its indent
    // (an ideographic space is one em, 15 px, wide).
    for (int n = 2; n <= 23; ++n) {
        if (n == 15)
            continue;
        const QRect band(0, (n - 1) * height, image.width(), height);
        const QRect ink = inkIn(image, band.top(), band.bottom() + 1);
        QVERIFY2(!ink.isNull(), qPrintable(QStringLiteral("line %1").arg(n)));
        const int indent = HelpText::entries()[std::size_t(n - 1)].indent;
        QVERIFY2(ink.left() >= indent * 15, qPrintable(QStringLiteral("line %1").arg(n)));
        QVERIFY2(ink.left() <= indent * 15 + 4, qPrintable(QStringLiteral("line %1").arg(n)));
    }

    // The same line printed alone at its top gives the same band.
    RetainedCanvas single;
    single.setGeometry(0, 0, 553, 449);
    single.setScale(549 * 15, 445 * 15);
    single.setFont(Fonts::designFont(15, false));
    single.setCurrentPosition(0, 2 * height * 15);
    single.print(HelpText::line(2));
    QCOMPARE(single.image().copy(0, 2 * height, 549, height), image.copy(0, 2 * height, 549, height));
}

void TestHelpWindow::longLineIsClippedNotWrapped()
{
    Form4 form;
    form.Form_Activate();
    const QImage &image = form.picture()->image();
    const int height = form.picture()->lineHeight();
    // Line 5 is wider than the canvas: it reaches the right edge ...
    const QRect ink5 = inkIn(image, 4 * height, 5 * height);
    QVERIFY(ink5.right() >= image.width() - 3);
    // ... and the next band starts at line 6's own indent, not with an overflow.
    const QRect ink6 = inkIn(image, 5 * height, 6 * height);
    QVERIFY(ink6.left() >= 7 * 15);
}

void TestHelpWindow::reactivationLeavesOneCopy()
{
    Form4 form;
    form.Form_Activate();
    const QImage once = form.picture()->image();
    form.Form_Activate();
    QCOMPARE(form.picture()->image(), once);

    form.picture()->line(0, 0, 549 * 15, 445 * 15, Qt::red);
    form.picture()->setCurrentPosition(3000, 3000);
    form.Form_Activate();
    QCOMPARE(form.picture()->image(), once);
}

void TestHelpWindow::drawsWhenActivated()
{
    Form4 form;
    QVERIFY(inkIn(form.picture()->image(), 0, 445).isNull());
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_VERIFY(!inkIn(form.picture()->image(), 0, 445).isNull());
}

void TestHelpWindow::closeButtonDestroysAndShowsMain()
{
    QPointer<Form4> form = new Form4;
    QSignalSpy back(form.data(), &Form4::backToMain);
    bool closedWhenAsked = false;
    connect(form, &Form4::backToMain, this, [&] { closedWhenAsked = form->isHidden(); });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.data()));
    QTest::mouseClick(form->closeButton(), Qt::LeftButton);
    // Closed first, then the way back is asked for.
    QCOMPARE(back.count(), 1);
    QVERIFY(closedWhenAsked);
    QTRY_VERIFY(form.isNull());
}

void TestHelpWindow::titleBarCloseOnlyDestroys()
{
    QPointer<Form4> form = new Form4;
    QSignalSpy back(form.data(), &Form4::backToMain);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.data()));
    QVERIFY(form->close());
    QTRY_VERIFY(form.isNull());
    QCOMPARE(back.count(), 0);
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
