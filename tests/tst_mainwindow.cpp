// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/fonts.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"
#include "ui/main/form1layout.h"
#include "windowtesting.h"

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Form1Layout;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void window();
    void buttons_data();
    void buttons();
    void labels_data();
    void labels();
    void designedState();
    void startUpPicture();
    void tabChainAndFirstFocus();
    void keyboard();
    void pixels_data();
    void pixels();
    void darkPaletteKeepsLabelsReadable();

private:
    std::unique_ptr<ProgramRig> m_rig;
    Form1 *m_form = nullptr;
};

void TestMainWindow::initTestCase()
{
    Fonts::installSubstitutions();
    m_rig = std::make_unique<ProgramRig>();
    m_form = m_rig->windows.showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestMainWindow::window()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral(" Tavelk"));
    QCOMPARE(m_form->geometry(), QRect(232, 136, 568, 351));
    QCOMPARE(m_form->minimumSize(), QSize(568, 351));
    QCOMPARE(m_form->maximumSize(), QSize(568, 351));
    QVERIFY(!m_form->windowIcon().isNull());
    QCOMPARE(m_form->windowIcon().availableSizes().value(0), QSize(32, 32));
    QCOMPARE(m_form->palette().color(m_form->backgroundRole()), QApplication::palette().color(QPalette::Button));
}

void TestMainWindow::buttons_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("Command1") << 1 << "トランプを引く" << QRect(368, 264, 145, 33) << 16 << true;
    QTest::newRow("Command2") << 2 << "トランプをきる" << QRect(368, 224, 145, 33) << 16 << true;
    QTest::newRow("Command3") << 3 << "終了" << QRect(0, 0, 57, 25) << 0 << false;
    QTest::newRow("Command4") << 4 << "自動 Start" << QRect(56, 208, 145, 33) << 16 << true;
    QTest::newRow("Command5") << 5 << "自動 Stop" << QRect(56, 248, 145, 33) << 16 << true;
    QTest::newRow("Command6") << 6 << "初期化" << QRect(512, 0, 57, 25) << 15 << false;
    QTest::newRow("Command7") << 7 << "グラフ表示" << QRect(56, 296, 145, 25) << 15 << true;
    QTest::newRow("Command8") << 8 << "HELP" << QRect(456, 0, 57, 25) << 15 << false;
}

void TestMainWindow::buttons()
{
    QFETCH(int, number);
    QFETCH(QString, caption);
    QFETCH(QRect, rect);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);

    QPushButton *button = m_form->command(number);
    QCOMPARE(button->objectName(), QStringLiteral("Command%1").arg(number));
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), rect);
    if (pixelSize == 0) {
        QCOMPARE(button->font(), QApplication::font());
        return;
    }
    QCOMPARE(button->font().pixelSize(), pixelSize);
    QCOMPARE(button->font().bold(), bold);
    QCOMPARE(QFontInfo(button->font()).family(), QStringLiteral("IPAPGothic"));
}

void TestMainWindow::labels_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");

    const QColor windowText = QApplication::palette().color(QPalette::WindowText);
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    const QColor red(255, 0, 0), white(255, 255, 255), yellow(255, 255, 192);
    QTest::newRow("Label13") << 13 << "Tavelk" << QRect(144, 0, 281, 25) << true << windowText << yellow;
    QTest::newRow("Label12") << 12 << "３の倍数のカードの全枚数" << QRect(16, 48, 281, 25) << false << windowText << white;
    QTest::newRow("Label9") << 9 << "16" << QRect(304, 48, 81, 25) << false << windowText << white;
    QTest::newRow("Label8") << 8 << "≒" << QRect(392, 64, 33, 25) << false << windowText << white;
    QTest::newRow("Label7") << 7 << "0.3076923" << QRect(432, 64, 121, 25) << false << windowText << white;
    QTest::newRow("Label11") << 11 << "トランプカードの全枚数" << QRect(16, 80, 281, 25) << false << windowText << white;
    QTest::newRow("Label10") << 10 << "52" << QRect(304, 80, 81, 25) << false << windowText << white;
    QTest::newRow("Label1") << 1 << "引いた３の倍数のカード枚数" << QRect(16, 128, 281, 25) << true << buttonText << white;
    QTest::newRow("Label4") << 4 << "0" << QRect(304, 128, 81, 25) << true << red << white;
    QTest::newRow("Label5") << 5 << "≒" << QRect(392, 144, 33, 25) << true << buttonText << white;
    QTest::newRow("Label6") << 6 << "" << QRect(432, 144, 121, 25) << true << red << white;
    QTest::newRow("Label2") << 2 << "引いた全カード枚数" << QRect(16, 160, 281, 25) << true << buttonText << white;
    QTest::newRow("Label3") << 3 << "0" << QRect(304, 160, 81, 25) << true << red << white;
}

void TestMainWindow::labels()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QFETCH(QRect, rect);
    QFETCH(bool, bold);
    QFETCH(QColor, colour);
    QFETCH(QColor, background);

    QLabel *label = m_form->label(number);
    QCOMPARE(label->objectName(), QStringLiteral("Label%1").arg(number));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), rect);
    QCOMPARE(label->font().pixelSize(), 21);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(label->palette().color(label->foregroundRole()), colour);
    QCOMPARE(label->palette().color(QPalette::Window), background);
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->contentsMargins(), QMargins(1, 1, 1, 1));
    QVERIFY(label->alignment() & Qt::AlignHCenter);
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    QVERIFY(!label->wordWrap());
}

void TestMainWindow::designedState()
{
    // A window built but not yet loaded: everything on, nothing counted.
    ProgramRig rig;
    ScriptedCards cards;
    Form1 form(*rig.record, {cards, rig.sound, rig.windows, rig.windows});
    for (int i = 1; i <= 8; ++i)
        QVERIFY(form.command(i)->isEnabled());
    QCOMPARE(form.cards()->visibleCount(), 52);
    QVERIFY(!form.timer1().isActive());
    QCOMPARE(form.timer1().interval(), 1);
    for (int i : {3, 4, 6, 7})
        QVERIFY(form.label(i)->text().isEmpty());
}

void TestMainWindow::startUpPicture()
{
    QCOMPARE(m_form->cards()->visibleCount(), 1);
    QVERIFY(m_form->cards()->isCardVisible(1));
    QCOMPARE(m_form->label(3)->text(), QStringLiteral("0"));
    QCOMPARE(m_form->label(4)->text(), QStringLiteral("0"));
    QCOMPARE(m_form->label(6)->text(), QString());
    QCOMPARE(m_form->label(7)->text(), QStringLiteral("0.3076923"));
    QString enabled;
    for (int i = 1; i <= 8; ++i)
        enabled += m_form->command(i)->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
    QCOMPARE(enabled, QStringLiteral("-+++---+"));
    QCOMPARE(m_form->cards()->geometry(), QRect(248, 208, 73, 105));
}

void TestMainWindow::tabChainAndFirstFocus()
{
    QCOMPARE(QApplication::focusWidget(), m_form->command(2));
    for (int i = 1; i < 8; ++i) {
        QWidget *next = m_form->command(i)->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        QCOMPARE(next, m_form->command(i + 1));
    }
    // Tab skips the disabled buttons: from Command2 to Command3, Command4, Command8.
    QTest::keyClick(m_form, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->command(3));
    QTest::keyClick(m_form, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->command(4));
    QTest::keyClick(m_form, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_form->command(8));
    m_form->command(2)->setFocus();
}

void TestMainWindow::keyboard()
{
    // Escape does nothing; Enter clicks only the focused button.
    QSignalSpy shuffle(m_form->command(2), &QPushButton::clicked);
    QSignalSpy start(m_form->command(4), &QPushButton::clicked);
    m_form->command(2)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(shuffle.count(), 0);
    QVERIFY(m_form->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(shuffle.count(), 1);
    QCOMPARE(start.count(), 0);
    QVERIFY(m_form->timer1().isActive());
    m_form->command(1)->click();
    QVERIFY(!m_form->timer1().isActive());
    m_form->command(6)->click();
}

void TestMainWindow::pixels_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("expect");
    QTest::newRow("window background") << QPoint(5, 40) << "face";
    QTest::newRow("between the blocks") << QPoint(300, 115) << "face";
    QTest::newRow("line between exit and title") << QPoint(100, 24) << "line";
    QTest::newRow("line between title and help") << QPoint(440, 24) << "line";
    QTest::newRow("no line below it") << QPoint(100, 25) << "face";
    QTest::newRow("no line above it") << QPoint(100, 23) << "face";
    QTest::newRow("title box inside") << QPoint(150, 3) << "yellow";
    QTest::newRow("title box border on the line") << QPoint(200, 24) << "line";
    QTest::newRow("caption box inside") << QPoint(20, 51) << "white";
    QTest::newRow("caption box left border") << QPoint(16, 60) << "line";
    QTest::newRow("empty ratio box inside") << QPoint(440, 150) << "white";
    QTest::newRow("empty ratio box top border") << QPoint(500, 144) << "line";
    QTest::newRow("card ground") << QPoint(250, 210) << "white";
    QTest::newRow("card corner") << QPoint(320, 312) << "white";
}

void TestMainWindow::pixels()
{
    QFETCH(QPoint, at);
    QFETCH(QString, expect);
    m_form->command(6)->click(); // back to the start-up picture
    const QImage shot = m_form->grab().toImage();
    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor line = QApplication::palette().color(QPalette::WindowText);
    const QColor expected = expect == u"face" ? face
        : expect == u"line"                  ? line
        : expect == u"yellow"                ? QColor(255, 255, 192)
                                             : QColor(255, 255, 255);
    QCOMPARE(shot.pixelColor(at), expected);
}

void TestMainWindow::darkPaletteKeepsLabelsReadable()
{
    const QPalette light = QApplication::palette();
    QPalette dark(QColor(53, 53, 53)); // light texts on dark grounds
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
    ProgramRig rig;
    ScriptedCards cards;
    Form1 form(*rig.record, {cards, rig.sound, rig.windows, rig.windows});
    const QImage shot = form.grab().toImage();
    QApplication::setPalette(light);
    for (const LabelSpec &row : kLabels) {
        QLabel *label = form.label(row.number);
        const QColor text = label->palette().color(label->foregroundRole());
        QCOMPARE(label->palette().color(QPalette::Window), row.background);
        // Black or red on the white and light-yellow boxes, never the theme's white.
        QVERIFY2(text == QColor(Qt::black) || text == kRed, qPrintable(label->objectName()));
        QCOMPARE(shot.pixelColor(row.rect.topLeft() + QPoint(0, 12)), QColor(Qt::black));
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
