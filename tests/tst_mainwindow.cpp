// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "expected.h"
#include "ui/common/fonts.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"
#include "windowtesting.h"

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

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
    QCOMPARE(m_form->windowTitle(), QString::fromUtf16(Expected::kMainWindow.caption));
    QCOMPARE(m_form->geometry(), Expected::kMainWindow.client);
    QCOMPARE(m_form->minimumSize(), Expected::kMainWindow.client.size());
    QCOMPARE(m_form->maximumSize(), Expected::kMainWindow.client.size());
    QVERIFY(!m_form->windowIcon().isNull());
    QCOMPARE(m_form->windowIcon().availableSizes().value(0), QSize(32, 32));
    QCOMPARE(m_form->windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_RGB32),
             QImage(QStringLiteral(":/icons/tavelk32.bmp")).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(m_form->palette().color(m_form->backgroundRole()), QApplication::palette().color(QPalette::Button));
}

void TestMainWindow::buttons_data()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < Expected::kButtons.size(); ++i)
        QTest::addRow("Command%d", Expected::kButtons[i].number) << int(i);
}

void TestMainWindow::buttons()
{
    QFETCH(int, row);
    const Expected::Button &want = Expected::kButtons[std::size_t(row)];
    QPushButton *button = m_form->command(want.number);
    QCOMPARE(button->objectName(), QStringLiteral("Command%1").arg(want.number));
    QCOMPARE(button->text(), QString::fromUtf16(want.caption));
    QCOMPARE(button->geometry(), want.rect);
    if (want.pixelSize == 0) {
        QCOMPARE(button->font(), QApplication::font());
        return;
    }
    QCOMPARE(button->font().pixelSize(), want.pixelSize);
    QCOMPARE(button->font().bold(), want.bold);
    QCOMPARE(QFontInfo(button->font()).family(), QStringLiteral("IPAPGothic"));
}

void TestMainWindow::labels_data()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < Expected::kLabels.size(); ++i)
        QTest::addRow("Label%d", Expected::kLabels[i].number) << int(i);
}

void TestMainWindow::labels()
{
    QFETCH(int, row);
    const Expected::Label &want = Expected::kLabels[std::size_t(row)];
    const QColor colour = want.ink == Expected::Ink::Red ? QColor(255, 0, 0)
        : want.ink == Expected::Ink::ButtonText          ? QApplication::palette().color(QPalette::ButtonText)
                                                         : QApplication::palette().color(QPalette::WindowText);

    QLabel *label = m_form->label(want.number);
    QCOMPARE(label->objectName(), QStringLiteral("Label%1").arg(want.number));
    QCOMPARE(label->text(), QString::fromUtf16(want.shown));
    QCOMPARE(label->geometry(), want.rect);
    QCOMPARE(label->font().pixelSize(), 21);
    QCOMPARE(label->font().bold(), want.bold);
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(label->palette().color(label->foregroundRole()), colour);
    QCOMPARE(label->palette().color(QPalette::Window), want.background);
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
    Form1 form(*rig.record, {cards, rig.sound, rig.windows, rig.windows.actions()});
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
    QCOMPARE(enabledMask(m_form), QStringLiteral("-+++---+"));
    QCOMPARE(m_form->cards()->geometry(), Expected::kCards);
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
        : expect == u"line"                   ? line
        : expect == u"yellow"                 ? Expected::kLightYellow
                                              : Expected::kWhite;
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
    Form1 form(*rig.record, {cards, rig.sound, rig.windows, rig.windows.actions()});
    const QImage shot = form.grab().toImage();
    QApplication::setPalette(light);
    for (const Expected::Label &row : Expected::kLabels) {
        QLabel *label = form.label(row.number);
        const QColor text = label->palette().color(label->foregroundRole());
        QCOMPARE(label->palette().color(QPalette::Window), row.background);
        // Black or red on the white and light-yellow boxes, never the theme's white.
        QCOMPARE(text, row.ink == Expected::Ink::Red ? QColor(255, 0, 0) : QColor(Qt::black));
        QCOMPARE(shot.pixelColor(row.rect.topLeft() + QPoint(0, 12)), QColor(Qt::black));
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
