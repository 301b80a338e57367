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
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

// Lets a run's ticks come at full speed until the run is over.
bool finishRun(Form1 *form)
{
    QElapsedTimer clock;
    clock.start();
    while (form->controller().record().runMode == 1 && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return form->controller().record().runMode != 1;
}

} // namespace

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
    void helpCaret_data();
    void helpCaret();
    void graphCurves_data();
    void graphCurves();
    void captions_data();
    void captions();
    void keyboardSteps_data();
    void keyboardSteps();
    void quietRun();

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
    QCOMPARE(window->role(), QAccessible::Window);
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
        QTest::addRow("Command%d", b.number)
            << QStringLiteral("Command%1").arg(b.number) << int(QAccessible::Button) << QString::fromUtf16(b.caption);
    for (const Expected::Label &l : Expected::kLabels)
        QTest::addRow("Label%d", l.number)
            << QStringLiteral("Label%1").arg(l.number) << int(QAccessible::StaticText) << QString::fromUtf16(l.shown);
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
    for (const int top : {0, 1, 3, 10, 14, 37, 51, 52})
        QTest::addRow("card %d", top) << top << Expected::cardName(top);
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
    const Expected::Sentences &say = Expected::kSentences;
    const QString theory = QString::fromUtf16(say.theory).arg(u"0.3076923");
    const auto graph = [&](int last, const char16_t *first, const char16_t *final) {
        return QString::fromUtf16(say.graph).arg(last).arg(first, final, theory).arg(1);
    };
    QTest::newRow("no run") << 0 << 0.0f << QString::fromUtf16(say.noRun) + theory;
    QTest::newRow("one draw") << 1 << 1.0f << graph(1, u"1.0000000", u"1.0000000");
    QTest::newRow("full run") << 1000 << 0.307f << graph(1000, u"0.5000000", u"0.3070000");
    QTest::newRow("beyond the record") << Module1::kHistorySize + 5 << 0.25f
                                       << graph(100000, u"0.5000000", u"0.2500000");
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
    QCOMPARE(picture->role(), QAccessible::Graphic);
    QCOMPARE(picture->text(QAccessible::Description), description);
}

void TestAccessibility::helpText()
{
    Form4 help;
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&help);
    QVERIFY(window);
    help.Form_Activate();
    help.Form_Activate(); // printed again, read once
    QStringList names;
    QAccessibleInterface *text = nullptr;
    for (int i = 0; i < window->childCount(); ++i) {
        names << window->child(i)->text(QAccessible::Name);
        if (window->child(i)->object() == help.picture())
            text = window->child(i);
    }
    QCOMPARE(names,
             QStringList({QString::fromUtf16(Expected::kCloseCaption), QStringLiteral("ヘルプ（設問と操作方法）")}));
    QVERIFY(text);
    QCOMPARE(text->role(), QAccessible::EditableText);
    QVERIFY(text->state().readOnly);
    QVERIFY(text->state().focusable);
    QVERIFY(text->textInterface());
    // The whole text, a line to a line, as the canvas prints it.
    const QString all = Expected::helpLines().join(QLatin1Char('\n'));
    QCOMPARE(text->textInterface()->characterCount(), all.size());
    QCOMPARE(text->textInterface()->text(0, int(all.size())), all);
}

// Lines of the help text that a screen reader reads at the caret after keys.
void TestAccessibility::helpCaret_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("line"); // 1-based, as the table numbers them
    QTest::newRow("moved into") << QList<int>{} << 2;
    QTest::newRow("down") << QList<int>{Qt::Key_Down} << 3;
    QTest::newRow("down thrice") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << 5;
    QTest::newRow("up to the empty first line") << QList<int>{Qt::Key_Up} << 1;
    QTest::newRow("up past the top") << QList<int>{Qt::Key_Up, Qt::Key_Up} << 1;
    QTest::newRow("page down") << QList<int>{Qt::Key_PageDown} << 23;
    QTest::newRow("down past the end") << QList<int>{Qt::Key_PageDown, Qt::Key_Down} << 23;
    QTest::newRow("end stays on the line") << QList<int>{Qt::Key_Down, Qt::Key_End} << 3;
}

void TestAccessibility::helpCaret()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, line);

    Form4 help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    help.Form_Activate();
    help.picture()->setFocus(Qt::TabFocusReason);
    QAccessibleInterface *text = QAccessible::queryAccessibleInterface(help.picture());
    QVERIFY(text && text->textInterface());
    for (int key : keys)
        QTest::keyClick(help.picture(), Qt::Key(key));
    int start = -1;
    int end = -1;
    const int caret = text->textInterface()->cursorPosition();
    QCOMPARE(text->textInterface()->textAtOffset(caret, QAccessible::LineBoundary, &start, &end).remove(u'\n'),
             Expected::helpLines().at(line - 1));
    // The caret is never drawn.
    QCOMPARE(help.picture()->image(), [&] {
        Form4 fresh;
        fresh.show();
        fresh.Form_Activate();
        return fresh.picture()->image();
    }());
}

// How many curves the graph's description counts after each activation:
// every row draws runs of (draws, pattern) one after another on one window.
void TestAccessibility::graphCurves_data()
{
    QTest::addColumn<QList<QPoint>>("runs");
    QTest::addColumn<int>("curves");
    QTest::newRow("one run") << QList<QPoint>{{1000, 1}} << 1;
    QTest::newRow("drawn again unchanged") << QList<QPoint>{{1000, 1}, {1000, 1}} << 1;
    QTest::newRow("extended by a longer run") << QList<QPoint>{{300, 1}, {1000, 1}} << 1;
    QTest::newRow("a new run after initialising") << QList<QPoint>{{1000, 1}, {1000, 2}} << 2;
    QTest::newRow("a shorter new run") << QList<QPoint>{{1000, 1}, {300, 2}, {200, 3}} << 3;
}

void TestAccessibility::graphCurves()
{
    QFETCH(QList<QPoint>, runs);
    QFETCH(int, curves);

    auto record = std::make_unique<Module1>();
    Form2 graph(*record);
    for (const QPoint &run : runs) {
        record->autoDrawCount = run.x();
        for (int n = 1; n <= run.x(); ++n)
            record->ratioHistory[n] = float(run.y()) / float(n + run.y());
        graph.Form_Activate();
    }
    QVERIFY2(graph.picture()->accessibleDescription().endsWith(QStringLiteral("曲線 %1 本").arg(curves)),
             qPrintable(graph.picture()->accessibleDescription()));
}

// Each value box is labelled by the caption boxes that say what it is.
void TestAccessibility::captions_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<int>>("captions");
    QTest::newRow("16") << 9 << QList<int>{12};
    QTest::newRow("52") << 10 << QList<int>{11};
    QTest::newRow("theory") << 7 << QList<int>{12, 11};
    QTest::newRow("multiples drawn") << 4 << QList<int>{1};
    QTest::newRow("cards drawn") << 3 << QList<int>{2};
    QTest::newRow("ratio") << 6 << QList<int>{1, 2};
    QTest::newRow("caption") << 2 << QList<int>{};
    QTest::newRow("title") << 13 << QList<int>{};
}

void TestAccessibility::captions()
{
    QFETCH(int, value);
    QFETCH(QList<int>, captions);

    QAccessibleInterface *box = childFor(m_form->label(value));
    QVERIFY(box);
    QList<int> found;
    for (const auto &[other, relation] : box->relations(QAccessible::Label))
        found << other->object()->objectName().mid(5).toInt();
    QCOMPARE(found, captions);
    for (int caption : captions) {
        bool back = false;
        for (const auto &[other, relation] : childFor(m_form->label(caption))->relations(QAccessible::Labelled))
            back = back || other->object() == m_form->label(value);
        QVERIFY2(back,
                 qPrintable(QStringLiteral("Label%1 is not marked as labelling Label%2").arg(caption).arg(value)));
    }
}

// Keyboard only, from a fresh window: after the last key the focus is on the
// button the next step needs, moved there by one focus event, and what the
// step did is told to the screen reader.
void TestAccessibility::keyboardSteps_data()
{
    // "space", "tab"; "wait" lets a run go on a moment, "end" lets it finish
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("announcement"); // a pattern
    const Expected::Sentences &say = Expected::kSentences;
    const auto counts = [&](const QString &draws) {
        return QString::fromUtf16(say.counts).arg(draws, u"\\d+", u"[01]\\.\\d{7}");
    };
    const auto exactly = [](const char16_t *text) { return QRegularExpression::escape(QString::fromUtf16(text)); };
    const QString suits =
        QStringList{QString::fromUtf16(Expected::kSuitNames[0]), QString::fromUtf16(Expected::kSuitNames[1]),
                    QString::fromUtf16(Expected::kSuitNames[2]), QString::fromUtf16(Expected::kSuitNames[3])}
            .join(u'|');
    // clang-format off
    QTest::newRow("shuffle") << QStringList{"space"} << "Command1" << "^$";
    // clang-format on
    QTest::newRow("draw") << QStringList{"space", "space"} << "Command2"
                          << "^(" + suits + ")の[^。]+" + exactly(say.afterCard) + counts("1") + "$";
    QTest::newRow("automatic start") << QStringList{"tab", "tab", "space"} << "Command5"
                                     << "^" + exactly(say.runStarted) + "$";
    QTest::newRow("automatic stop") << QStringList{"tab", "tab", "space", "wait", "space"} << "Command6"
                                    << "^" + exactly(say.runEnded) + counts(QStringLiteral("\\d+")) + "$";
    QTest::newRow("run to its end") << QStringList{"tab", "tab", "space", "end"} << "Command6"
                                    << "^" + exactly(say.runEnded) + counts(QStringLiteral("1000")) + "$";
    QTest::newRow("initialise") << QStringList{"space", "space", "tab", "tab", "tab", "space"} << "Command2"
                                << "^" + exactly(say.initialised) + "$";
}

void TestAccessibility::keyboardSteps()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, focus);
    QFETCH(QString, announcement);

    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QSignalSpy focusMoves(qApp, &QApplication::focusChanged);
    for (const QString &key : keys) {
        focusMoves.clear();
        if (key == QLatin1String("end"))
            QVERIFY(finishRun(form));
        else if (key == QLatin1String("wait"))
            QTest::qWait(100);
        else
            QTest::keyClick(QApplication::focusWidget(), key == QLatin1String("tab") ? Qt::Key_Tab : Qt::Key_Space);
        QVERIFY2(QApplication::focusWidget() && QApplication::focusWidget()->isEnabled(), qPrintable(key));
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(focusMoves.size(), 1);
    QVERIFY2(QRegularExpression(announcement).match(form->lastAnnouncement()).hasMatch(),
             qPrintable(form->lastAnnouncement()));
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Orca 43 speaks a new description of the focused object.
    if (!form->lastAnnouncement().isEmpty())
        QCOMPARE(QApplication::focusWidget()->accessibleDescription(), form->lastAnnouncement());
#endif
    QWidget *told = QApplication::focusWidget();
    QTest::keyClick(told, Qt::Key_Tab);
    if (QApplication::focusWidget() != told)
        QVERIFY2(told->accessibleDescription().isEmpty(), "an old result stays behind");
}

// A run tells tools of its changing numbers now and then, not on every tick
// (a box's accessible name is the text they last heard of), and every box
// has told its final text once the run is over.
void TestAccessibility::quietRun()
{
    ProgramRig rig;
    Form1 *form = rig.windows.showMainWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    form->command(4)->click();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QVERIFY(form->label(3)->text().toInt() > 10);
    QCOMPARE(form->label(3)->accessibleName(), QStringLiteral("0"));
    QVERIFY(finishRun(form));
    QCOMPARE(form->label(3)->text(), QStringLiteral("1000"));
    for (int value : {3, 4, 6}) {
        QCOMPARE(form->label(value)->accessibleName(), form->label(value)->text());
        QCOMPARE(QAccessible::queryAccessibleInterface(form->label(value))->text(QAccessible::Name),
                 form->label(value)->text());
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
