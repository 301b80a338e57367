// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/experiment.h"
#include "expected.h"
#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/graph/form2.h"
#include "ui/help/form4.h"
#include "ui/main/cardstack.h"
#include "ui/main/form1.h"
#include "windowtesting.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// What a screen reader is told about the windows, read the way it reads it:
// through the accessibility interfaces, starting from the window's own.
class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyChildIsReachable();
    void mainWindowNames_data();
    void mainWindowNames();
    void cardName_data();
    void cardName();
    void graphDescription_data();
    void graphDescription();
    void helpText();

private:
    // The child of the main window's interface that stands for widget.
    QAccessibleInterface *childFor(QWidget *widget) const;

    std::unique_ptr<ProgramRig> m_rig;
    Form1 *m_form = nullptr;
};

void TestAccessibility::initTestCase()
{
    Fonts::installSubstitutions();
    m_rig = std::make_unique<ProgramRig>();
    m_form = m_rig->windows.showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestAccessibility::cleanupTestCase()
{
    m_rig.reset();
    flushDeferredDeletes();
}

QAccessibleInterface *TestAccessibility::childFor(QWidget *widget) const
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_form);
    if (!window)
        return nullptr;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface *child = window->child(i);
        if (child && child->object() == widget)
            return child;
    }
    return nullptr;
}

void TestAccessibility::everyChildIsReachable()
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_form);
    QVERIFY(window);
    QCOMPARE(window->text(QAccessible::Name), QString::fromUtf16(Expected::kMainWindow.caption));
    // Eight buttons, thirteen labels and the card display.
    QCOMPARE(window->childCount(), 8 + 13 + 1);
    for (int i = 1; i <= 8; ++i)
        QVERIFY2(childFor(m_form->command(i)), qPrintable(QStringLiteral("Command%1").arg(i)));
    for (int i = 1; i <= 13; ++i)
        QVERIFY2(childFor(m_form->label(i)), qPrintable(QStringLiteral("Label%1").arg(i)));
    QVERIFY(childFor(m_form->cards()));
}

void TestAccessibility::mainWindowNames_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    for (const Expected::Button &b : Expected::kButtons)
        QTest::addRow("Command%d", b.number) << QStringLiteral("Command%1").arg(b.number) << int(QAccessible::Button)
                                             << QString::fromUtf16(b.caption);
    for (const Expected::Label &l : Expected::kLabels)
        QTest::addRow("Label%d", l.number) << QStringLiteral("Label%1").arg(l.number) << int(QAccessible::StaticText)
                                           << QString::fromUtf16(l.shown);
}

void TestAccessibility::mainWindowNames()
{
    QFETCH(QString, object);
    QFETCH(int, role);
    QFETCH(QString, name);

    auto *widget = m_form->findChild<QWidget *>(object, Qt::FindDirectChildrenOnly);
    QVERIFY(widget);
    QAccessibleInterface *child = childFor(widget);
    QVERIFY(child);
    QCOMPARE(int(child->role()), role);
    QCOMPARE(child->text(QAccessible::Name), name);
}

void TestAccessibility::cardName_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("name");
    QTest::newRow("none") << 0 << "";
    QTest::newRow("ace of spades") << 1 << "スペードのエース";
    QTest::newRow("3 of spades") << 3 << "スペードの3";
    QTest::newRow("10 of spades") << 10 << "スペードの10";
    QTest::newRow("ace of clubs") << 14 << "クローバのエース";
    QTest::newRow("jack of hearts") << 37 << "ハートのジャック";
    QTest::newRow("queen of diamonds") << 51 << "ダイヤのクイーン";
    QTest::newRow("king of diamonds") << 52 << "ダイヤのキング";
}

void TestAccessibility::cardName()
{
    QFETCH(int, top);
    QFETCH(QString, name);

    CardStack *cards = m_form->cards();
    for (std::int16_t i = 1; i <= CardStack::kFaces; ++i)
        cards->setCardVisible(i, i == top);
    QAccessibleInterface *child = childFor(cards);
    QVERIFY(child);
    QCOMPARE(child->role(), QAccessible::Graphic);
    // The name follows the card on show with no further call.
    QCOMPARE(child->text(QAccessible::Name), name);
}

void TestAccessibility::graphDescription_data()
{
    QTest::addColumn<int>("draws");
    QTest::addColumn<float>("lastRatio");
    QTest::addColumn<QString>("description");
    QTest::newRow("no run") << 0 << 0.0f << "割合のグラフ。自動実験の記録はまだありません";
    QTest::newRow("one draw") << 1 << 1.0f << "実験回数 1 回までの割合のグラフ。最後の割合 1.0000000";
    QTest::newRow("full run") << 1000 << 0.307f << "実験回数 1000 回までの割合のグラフ。最後の割合 0.3070000";
    QTest::newRow("beyond the record") << Module1::kHistorySize + 5 << 0.25f
                                       << "実験回数 100000 回までの割合のグラフ。最後の割合 0.2500000";
}

void TestAccessibility::graphDescription()
{
    QFETCH(int, draws);
    QFETCH(float, lastRatio);
    QFETCH(QString, description);

    auto record = std::make_unique<Module1>();
    record->autoDrawCount = draws;
    const int last = std::min(draws, Module1::kHistorySize - 1);
    for (int n = 1; n <= last; ++n)
        record->ratioHistory[n] = n == last ? lastRatio : 0.5f;
    Form2 graph(*record);
    graph.Form_Activate();

    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&graph);
    QVERIFY(window);
    QAccessibleInterface *picture = nullptr;
    for (int i = 0; i < window->childCount(); ++i)
        if (window->child(i)->object() == graph.picture())
            picture = window->child(i);
    QVERIFY(picture);
    QCOMPARE(picture->text(QAccessible::Name), QStringLiteral("割合のグラフ"));
    QCOMPARE(picture->text(QAccessible::Description), description);
}

void TestAccessibility::helpText()
{
    Form4 help;
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&help);
    QVERIFY(window);
    QStringList names;
    QString description;
    for (int i = 0; i < window->childCount(); ++i) {
        names << window->child(i)->text(QAccessible::Name);
        if (qobject_cast<RetainedCanvas *>(window->child(i)->object()))
            description = window->child(i)->text(QAccessible::Description);
    }
    QCOMPARE(names, QStringList({QString::fromUtf16(Expected::kCloseCaption), QStringLiteral("ヘルプ（設問と操作方法）")}));
    // The whole text, a line to a line, as the canvas prints it.
    QCOMPARE(description, Expected::helpLines().join(QLatin1Char('\n')));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
