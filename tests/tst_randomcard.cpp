// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/cardrules.h"
#include "core/randomcard.h"

#include <QtTest>
#include <array>

namespace {

// A clock that moves on by a fixed step every time it is read.
class SteppingClock : public Clock {
public:
    SteppingClock(std::uint64_t start, std::uint64_t step) : m_now(start), m_step(step) {}
    std::uint64_t nanosecondsSinceMidnight() override
    {
        const std::uint64_t now = m_now;
        m_now = (m_now + m_step) % 86'400'000'000'000ULL;
        return now;
    }

private:
    std::uint64_t m_now;
    std::uint64_t m_step;
};

constexpr std::uint64_t kMs = 1'000'000;
constexpr std::uint64_t kHour = 3'600'000 * kMs;

} // namespace

class TestRandomCard : public QObject {
    Q_OBJECT
private slots:
    void picksAreUniformAndIndependent_data();
    void picksAreUniformAndIndependent();
    void sameInstantSameCard();
    void uniformStaysInRange();
};

void TestRandomCard::picksAreUniformAndIndependent_data()
{
    QTest::addColumn<quint64>("start");
    QTest::addColumn<quint64>("step");
    QTest::newRow("1 ms ticks after midnight") << quint64(0) << quint64(kMs);
    QTest::newRow("1 ms ticks at noon") << quint64(12 * kHour) << quint64(kMs);
    QTest::newRow("1 ms ticks across midnight") << quint64(24 * kHour - 30'000 * kMs) << quint64(kMs);
    QTest::newRow("1.1 ms ticks in the evening") << quint64(21 * kHour + 17) << quint64(1'100'000);
}

void TestRandomCard::picksAreUniformAndIndependent()
{
    QFETCH(quint64, start);
    QFETCH(quint64, step);
    SteppingClock clock(start, step);
    ClockSeededCards cards(clock);

    constexpr int kPicks = 52'000;
    std::array<int, 53> seen{};
    int repeats = 0;
    int previous = 0;
    for (int i = 0; i < kPicks; ++i) {
        const int card = cards.pickCard();
        QVERIFY2(card >= 1 && card <= 52, qPrintable(QString::number(card)));
        ++seen[card];
        repeats += card == previous;
        previous = card;
    }

    double chiSquare = 0;
    const double expected = kPicks / 52.0;
    for (int card = 1; card <= 52; ++card)
        chiSquare += (seen[card] - expected) * (seen[card] - expected) / expected;
    // 87.97 is the 0.999 quantile of chi-square with 51 degrees of freedom.
    QVERIFY2(chiSquare < 87.97, qPrintable(QStringLiteral("chi-square %1").arg(chiSquare)));

    // Independent picks repeat the previous card about once in 52.
    const double repeatShare = double(repeats) / (kPicks - 1);
    QVERIFY2(repeatShare > 0.85 / 52 && repeatShare < 1.15 / 52,
             qPrintable(QStringLiteral("repeat share %1").arg(repeatShare)));
}

void TestRandomCard::sameInstantSameCard()
{
    // The generator is reseeded from the clock before each pick, so the card
    // depends on the instant alone.
    SteppingClock frozenA(5 * kHour, 0), frozenB(5 * kHour, 0);
    ClockSeededCards a(frozenA), b(frozenB);
    const std::int16_t first = a.pickCard();
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(a.pickCard(), first);
        QCOMPARE(b.pickCard(), first);
    }
}

void TestRandomCard::uniformStaysInRange()
{
    UniformRandom random;
    double low = 1, high = 0, sum = 0;
    for (std::uint64_t seed = 0; seed < 100'000; ++seed) {
        random.reseed(seed);
        const double r = random.next();
        QVERIFY(r >= 0.0 && r < 1.0);
        low = std::min(low, r);
        high = std::max(high, r);
        sum += r;
    }
    QVERIFY(low < 1e-3);
    QVERIFY(high > 1 - 1e-3);
    QVERIFY(qAbs(sum / 100'000 - 0.5) < 0.005);
}

QTEST_APPLESS_MAIN(TestRandomCard)
#include "tst_randomcard.moc"
