// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/helptext.h"
#include "expected.h"
#include "pixels.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/help/form4.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

using namespace Pixels;

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

QList<int> positionsOf(const QString &text, QChar c)
{
    QList<int> positions;
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) == c)
            positions.append(i);
    return positions;
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void lineCount();
    void lines_data();
    void lines();

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
    QCOMPARE(HelpText::kLineCount, int(Expected::kHelpLines.size()));
    QCOMPARE(int(HelpText::lines().size()), HelpText::kLineCount);
    QCOMPARE(HelpText::line(-1), std::string());
    QCOMPARE(HelpText::line(HelpText::kLineCount), std::string());
}

void TestHelpWindow::lines_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("indent");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("asciiSpaces");
    for (std::size_t i = 0; i < Expected::kHelpLines.size(); ++i) {
        const Expected::HelpLine &line = Expected::kHelpLines[i];
        QTest::addRow("line %d", int(i) + 1)
            << int(i) + 1 << line.indent << Expected::helpLine(line) << line.asciiSpaces;
    }
}

void TestHelpWindow::lines()
{
    QFETCH(int, number);
    QFETCH(int, indent);
    QFETCH(QString, expected);
    QFETCH(int, asciiSpaces);
    QCOMPARE(QString::fromStdString(HelpText::line(number - 1)), expected);
    QCOMPARE(HelpText::entries()[std::size_t(number - 1)].indent, indent);
    // The two kinds of space look alike: count both where they may stand.
    const QString words = expected.mid(indent);
    QCOMPARE(positionsOf(words, QLatin1Char(' ')).size(), asciiSpaces);
    const QList<int> inner = positionsOf(words, QChar(kIdeographicSpace));
    QCOMPARE(inner, number == 2 ? (QList<int>{2, 3}) : QList<int>());
}

void TestHelpWindow::creation()
{
    Form4 form;
    QVERIFY(form.isWindow());
    QCOMPARE(form.windowTitle(), QString::fromUtf16(Expected::kHelpWindow.caption));
    QCOMPARE(form.geometry(), Expected::kHelpWindow.client);
    QCOMPARE(form.minimumSize(), Expected::kHelpWindow.client.size());
    QCOMPARE(form.maximumSize(), Expected::kHelpWindow.client.size());
    QVERIFY(form.testAttribute(Qt::WA_DeleteOnClose));

    QPushButton *button = form.closeButton();
    QCOMPARE(button->text(), QString::fromUtf16(Expected::kCloseCaption));
    QCOMPARE(button->geometry(), Expected::kHelpWindow.closeButton);
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
    single.print(QString::fromStdString(HelpText::line(2)));
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
    form.activateWindow();
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
