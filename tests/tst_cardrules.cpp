// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/cardrules.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace CardRules;

class TestCardRules : public QObject {
    Q_OBJECT
private slots:
    void rankAndSuit_data();
    void rankAndSuit();
    void sixteenCardsCount();
    void pick_data();
    void pick();
    void ratioText_data();
    void ratioText();
    void countText();
    void names_data();
    void names();
};

void TestCardRules::rankAndSuit_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("rank");
    QTest::addColumn<int>("suit");
    QTest::addColumn<bool>("counts");
    QTest::newRow("no card") << 0 << 0 << -1 << true;
    for (int suit = 0; suit < 4; ++suit) {
        for (int rank = 1; rank <= 13; ++rank) {
            const int index = 13 * suit + rank;
            QTest::addRow("card %d", index) << index << rank << suit << (rank % 3 == 0);
        }
    }
}

void TestCardRules::rankAndSuit()
{
    QFETCH(int, index);
    QFETCH(int, rank);
    QFETCH(int, suit);
    QFETCH(bool, counts);
    QCOMPARE(rankOf(std::int16_t(index)), rank);
    if (suit >= 0)
        QCOMPARE(int(suitOf(std::int16_t(index))), suit);
    QCOMPARE(isMultipleOfThree(rankOf(std::int16_t(index))), counts);
}

void TestCardRules::sixteenCardsCount()
{
    QList<int> counting;
    for (std::int16_t i = 1; i <= 52; ++i)
        if (isMultipleOfThree(rankOf(i)))
            counting << i;
    const QList<int> expected{3, 6, 9, 12, 16, 19, 22, 25, 29, 32, 35, 38, 42, 45, 48, 51};
    QCOMPARE(counting, expected);
}

void TestCardRules::pick_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("card");
    QTest::newRow("zero") << 0.0 << 1;
    QTest::newRow("inside the first 52nd") << 0.019 << 1;
    QTest::newRow("1/52") << 1.0 / 52 << 2;
    QTest::newRow("half") << 0.5 << 27;
    QTest::newRow("just below one") << std::nextafter(1.0, 0.0) << 52;
    QTest::newRow("float just below one") << double(std::nextafter(1.0f, 0.0f)) << 52;
}

void TestCardRules::pick()
{
    QFETCH(double, r);
    QFETCH(int, card);
    QCOMPARE(cardFromUniform(r), card);
}

void TestCardRules::ratioText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("theory 16/52") << theoreticalProbability() << "0.3076923";
    QTest::newRow("none") << 0.0f << "0.0000000";
    QTest::newRow("one in one") << 1.0f << "1.0000000";
    QTest::newRow("1/3") << float(1.0 / 3) << "0.3333333";
    QTest::newRow("2/3 rounds up") << float(2.0 / 3) << "0.6666667";
    // An exact tie at the eighth decimal: halves go away from zero.
    QTest::newRow("1/256 tie") << float(1.0 / 256) << "0.0039063";
    QTest::newRow("3/256 tie") << float(3.0 / 256) << "0.0117188";
    QTest::newRow("smallest ratio") << float(1.0 / 32767) << "0.0000305";
    QTest::newRow("just below one") << float(999.0 / 1000) << "0.9990000";
    QTest::newRow("negative tie") << float(-1.0 / 256) << "-0.0039063";
}

void TestCardRules::ratioText()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(formatRatio(value)), text);
}

void TestCardRules::countText()
{
    QCOMPARE(formatCount(0), std::string("0"));
    QCOMPARE(formatCount(7), std::string("7"));
    QCOMPARE(formatCount(1000), std::string("1000"));
    QCOMPARE(formatCount(32767), std::string("32767"));
}

void TestCardRules::names_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("3 of spades") << 3 << QStringLiteral("スペードの3");
    QTest::newRow("ace of clubs") << 14 << QStringLiteral("クローバのエース");
    QTest::newRow("king of spades") << 13 << QStringLiteral("スペードのキング");
    QTest::newRow("jack of hearts") << 37 << QStringLiteral("ハートのジャック");
    QTest::newRow("queen of diamonds") << 51 << QStringLiteral("ダイヤのクイーン");
    QTest::newRow("10 of diamonds") << 49 << QStringLiteral("ダイヤの10");
    QTest::newRow("no card") << 0 << QString();
}

void TestCardRules::names()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(cardName(std::int16_t(index))), name);
}

QTEST_APPLESS_MAIN(TestCardRules)
#include "tst_cardrules.moc"
