// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The card faces and the icon are drawn by tools/cardgen and committed; these
// checks hold the committed pictures to what a playing card must look like and
// to the index numbering the rest of the program uses.
#include "core/cardrules.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <vector>

#ifndef TAVELK_CARDGEN
#error "TAVELK_CARDGEN must name the card generator"
#endif
#ifndef TAVELK_ASSETS_DIR
#error "TAVELK_ASSETS_DIR must name the committed assets folder"
#endif

namespace {

constexpr int kW = 69;
constexpr int kH = 93;
constexpr qint64 kBmpBytes = 19398;
constexpr int kPpm = 3780;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kYellow = 0xFFFFFF00;

// Top-left corner block (rank mark over suit mark); its 180-degree turn sits
// in the bottom-right corner.
const QRect kCorner(0, 0, 13, 24);
// Where pips and the ace live: between the two corner columns.
const QRect kField(14, 0, kW - 28, kH);
// Court panel frame, inclusive corners.
constexpr int kPanelL = 14, kPanelT = 6, kPanelR = kW - 1 - kPanelL, kPanelB = kH - 1 - kPanelT;

QString faceName(int i)
{
    return QStringLiteral("cards/card%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
}
QString resourcePath(int i)
{
    return QStringLiteral(":/") + faceName(i);
}
QString filePath(int i)
{
    return QDir(QStringLiteral(TAVELK_ASSETS_DIR)).filePath(faceName(i));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QImage face(int i)
{
    return QImage(resourcePath(i)).convertToFormat(QImage::Format_RGB32);
}

QRgb suitColour(int i)
{
    const auto s = CardRules::suitOf(static_cast<std::int16_t>(i));
    return (s == CardRules::Suit::Hearts || s == CardRules::Suit::Diamonds) ? kRed : kBlack;
}

int rankOf(int i)
{
    return CardRules::rankOf(static_cast<std::int16_t>(i));
}

using Shape = std::vector<QPoint>;

// Connected (8-neighbour) areas of one colour inside a rectangle.
std::vector<Shape> shapesOf(const QImage &img, QRgb colour, const QRect &area)
{
    std::vector<Shape> out;
    std::vector<char> seen(static_cast<size_t>(img.width() * img.height()), 0);
    const auto idx = [&](int x, int y) { return static_cast<size_t>(y * img.width() + x); };
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (seen[idx(x, y)] || img.pixel(x, y) != colour)
                continue;
            Shape s;
            std::vector<QPoint> todo{QPoint(x, y)};
            seen[idx(x, y)] = 1;
            while (!todo.empty()) {
                const QPoint p = todo.back();
                todo.pop_back();
                s.push_back(p);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint q(p.x() + dx, p.y() + dy);
                        if (area.contains(q) && !seen[idx(q.x(), q.y())] && img.pixel(q) == colour) {
                            seen[idx(q.x(), q.y())] = 1;
                            todo.push_back(q);
                        }
                    }
            }
            out.push_back(s);
        }
    return out;
}

QRect boundsOf(const Shape &s)
{
    QRect r;
    for (const QPoint &p : s)
        r |= QRect(p, QSize(1, 1));
    return r;
}

// The set pixels of a shape relative to its bounding box, as text for easy comparison.
QString pattern(const Shape &s, bool turned = false)
{
    const QRect b = boundsOf(s);
    QString text(b.width() * b.height(), QLatin1Char('.'));
    for (const QPoint &p : s) {
        int x = p.x() - b.left(), y = p.y() - b.top();
        if (turned) {
            x = b.width() - 1 - x;
            y = b.height() - 1 - y;
        }
        text[y * b.width() + x] = QLatin1Char('#');
    }
    return QString::number(b.width()) + QLatin1Char('x') + text;
}

// Non-white pixels of a block, as a pattern string.
QString blockPattern(const QImage &img, const QRect &r)
{
    QString text;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            text += img.pixel(x, y) == kWhite ? QLatin1Char('.') : QLatin1Char('#');
    return text;
}

// The rank mark is the corner's first shape from the top; the suit mark is the last.
Shape cornerSuitMark(const QImage &img, int i)
{
    auto shapes = shapesOf(img, suitColour(i), kCorner);
    std::sort(shapes.begin(), shapes.end(),
              [](const Shape &a, const Shape &b) { return boundsOf(a).top() < boundsOf(b).top(); });
    return shapes.empty() ? Shape{} : shapes.back();
}

QRect rankMarkArea(const QImage &img, int i)
{
    const QRect suit = boundsOf(cornerSuitMark(img, i));
    return QRect(kCorner.left(), kCorner.top(), kCorner.width(), suit.top() - kCorner.top());
}

// Finds where a pattern of suit-coloured pixels appears exactly, with a
// clear white border around its box, inside an area.
std::vector<QPoint> findMark(const QImage &img, const Shape &mark, bool turned, QRgb colour, const QRect &area)
{
    const QRect b = boundsOf(mark);
    std::vector<QPoint> hits;
    for (int top = area.top(); top + b.height() - 1 <= area.bottom(); ++top)
        for (int left = area.left(); left + b.width() - 1 <= area.right(); ++left) {
            bool ok = true;
            for (int y = -1; y <= b.height() && ok; ++y)
                for (int x = -1; x <= b.width() && ok; ++x) {
                    bool want = false;
                    if (x >= 0 && y >= 0 && x < b.width() && y < b.height()) {
                        const int sx = turned ? b.width() - 1 - x : x;
                        const int sy = turned ? b.height() - 1 - y : y;
                        want = std::find(mark.begin(), mark.end(), QPoint(b.left() + sx, b.top() + sy)) != mark.end();
                    }
                    ok = img.pixel(left + x, top + y) == (want ? colour : kWhite);
                }
            if (ok)
                hits.emplace_back(left, top);
        }
    return hits;
}

bool isCourt(int i)
{
    return rankOf(i) >= 11;
}

void addCardRows()
{
    QTest::addColumn<int>("index");
    for (int i = 1; i <= CardRules::kCardCount; ++i)
        QTest::newRow(qPrintable(faceName(i))) << i;
}

void addCourtRows()
{
    QTest::addColumn<int>("index");
    for (int i = 1; i <= CardRules::kCardCount; ++i)
        if (isCourt(i))
            QTest::newRow(qPrintable(faceName(i))) << i;
}

void checkBmpHeader(const QByteArray &bytes, int width, int height, qint64 size)
{
    QCOMPARE(qint64(bytes.size()), size);
    QVERIFY(bytes.startsWith("BM"));
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto i32 = [&](int at) { return qFromLittleEndian<qint32>(bytes.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    QCOMPARE(u32(2), quint32(size));
    QCOMPARE(u32(10), 54u); // pixels start straight after the headers
    QCOMPARE(i32(18), width);
    QCOMPARE(i32(22), height); // positive: rows stored bottom-up
    QCOMPARE(u16(26), quint16(1));
    QCOMPARE(u16(28), quint16(24));
    QCOMPARE(u32(30), 0u); // uncompressed
    QCOMPARE(i32(38), kPpm);
    QCOMPARE(i32(42), kPpm);
}

} // namespace

class TestCardFaces : public QObject {
    Q_OBJECT

private slots:
    void resourceFaceIsAPlainBmp_data() { addCardRows(); }
    void resourceFaceIsAPlainBmp()
    {
        QFETCH(int, index);
        checkBmpHeader(readAll(resourcePath(index)), kW, kH, kBmpBytes);
        const QImage img(resourcePath(index));
        QCOMPARE(img.size(), QSize(kW, kH));
        QCOMPARE(img.dotsPerMeterX(), kPpm);
        QCOMPARE(img.dotsPerMeterY(), kPpm);
        QVERIFY(!img.hasAlphaChannel());
    }

    void committedFileMatchesResource_data() { addCardRows(); }
    void committedFileMatchesResource()
    {
        QFETCH(int, index);
        const QByteArray file = readAll(filePath(index));
        checkBmpHeader(file, kW, kH, kBmpBytes);
        QCOMPARE(file, readAll(resourcePath(index)));
        QCOMPARE(QImage(filePath(index)).size(), QSize(kW, kH));
    }

    // The program reads the faces from one sheet; read by Qt's own decoder,
    // it holds each face exactly, card 1 at the top.
    void sheetHoldsEveryFace()
    {
        const QImage sheet = QImage(QStringLiteral(":/cards/faces.bmp")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(sheet.size(), QSize(kW, kH * 52));
        for (int i = 1; i <= 52; ++i)
            QVERIFY2(sheet.copy(0, (i - 1) * kH, kW, kH) == face(i), qPrintable(faceName(i)));
    }

    void coloursFitTheCardKind_data() { addCardRows(); }
    void coloursFitTheCardKind()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        QHash<QRgb, int> counts;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ++counts[img.pixel(x, y)];
        const QRgb suit = suitColour(index);
        QVERIFY(counts.value(kWhite) > kW * kH / 2);
        QVERIFY(counts.value(suit) > 0);
        if (!isCourt(index)) {
            QCOMPARE(counts.size(), 2);
            return;
        }
        QVERIFY(counts.value(kRed) > 0);
        QVERIFY(counts.value(kYellow) > 0);
        QVERIFY(counts.value(kBlack) > 0);
        // Anything beyond the four inks may only be a few lone dots.
        int others = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.key() == kWhite || it.key() == kBlack || it.key() == kRed || it.key() == kYellow)
                continue;
            const QColor c = QColor::fromRgb(it.key());
            const bool accent = (c.red() == 0 || c.red() == 255) && (c.green() == 0 || c.green() == 255)
                && (c.blue() == 0 || c.blue() == 255);
            QVERIFY2(accent, qPrintable(QStringLiteral("stray colour %1").arg(it.key(), 8, 16)));
            others += it.value();
            for (const Shape &s : shapesOf(img, it.key(), img.rect()))
                QCOMPARE(int(s.size()), 1);
        }
        QVERIFY(others <= 6);
    }

    void cornerPairIsTurnedCopy_data() { addCardRows(); }
    void cornerPairIsTurnedCopy()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        for (int y = kCorner.top(); y <= kCorner.bottom(); ++y)
            for (int x = kCorner.left(); x <= kCorner.right(); ++x)
                QCOMPARE(img.pixel(kW - 1 - x, kH - 1 - y), img.pixel(x, y));
    }

    void cornerMarkHasSuitColour_data() { addCardRows(); }
    void cornerMarkHasSuitColour()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        const QRgb suit = suitColour(index);
        int inked = 0;
        for (int y = kCorner.top(); y <= kCorner.bottom(); ++y)
            for (int x = kCorner.left(); x <= kCorner.right(); ++x) {
                const QRgb c = img.pixel(x, y);
                QVERIFY(c == kWhite || c == suit);
                inked += c == suit;
            }
        QVERIFY(inked > 20);
        // The two marks are separate: a rank mark (two shapes for "10") and a suit mark.
        const auto shapes = shapesOf(img, suit, kCorner);
        QCOMPARE(int(shapes.size()), rankOf(index) == 10 ? 3 : 2);
    }

    // Every card of a rank wears that rank's mark and every card of a suit its
    // suit mark, with marks told apart, so an index can only show what
    // CardRules says it is.
    void cornerMarksFollowCardRules_data() { addCardRows(); }
    void cornerMarksFollowCardRules()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        const int rank = rankOf(index);
        const int suitFirst = 13 * static_cast<int>(CardRules::suitOf(static_cast<std::int16_t>(index))) + 1;
        const QImage spadeOfRank = face(rank);
        QCOMPARE(blockPattern(img, rankMarkArea(img, index)),
                 blockPattern(spadeOfRank, rankMarkArea(spadeOfRank, rank)));
        QCOMPARE(pattern(cornerSuitMark(img, index)), pattern(cornerSuitMark(face(suitFirst), suitFirst)));
    }

    void marksAreDistinct()
    {
        QSet<QString> ranks, suits;
        for (int r = 1; r <= 13; ++r) {
            const QImage img = face(r);
            ranks.insert(blockPattern(img, rankMarkArea(img, r)));
        }
        for (int s = 0; s < 4; ++s)
            suits.insert(pattern(cornerSuitMark(face(13 * s + 1), 13 * s + 1)));
        QCOMPARE(ranks.size(), 13);
        QCOMPARE(suits.size(), 4);
        // Black for spades and clubs, red for hearts and diamonds.
        QCOMPARE(suitColour(1), kBlack);
        QCOMPARE(face(1).pixel(boundsOf(cornerSuitMark(face(1), 1)).center()), kBlack);
        QCOMPARE(face(27).pixel(boundsOf(cornerSuitMark(face(27), 27)).center()), kRed);
        QCOMPARE(face(40).pixel(boundsOf(cornerSuitMark(face(40), 40)).center()), kRed);
    }

    void numberCardsShowRankManyPips_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 1; i <= CardRules::kCardCount; ++i)
            if (rankOf(i) >= 2 && rankOf(i) <= 10)
                QTest::newRow(qPrintable(faceName(i))) << i;
    }
    void numberCardsShowRankManyPips()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        const auto pips = shapesOf(img, suitColour(index), kField);
        QCOMPARE(int(pips.size()), rankOf(index));

        // All pips are one shape; those below the middle are turned over.
        const int mid = kH / 2;
        QString upright;
        for (const Shape &p : pips) {
            const QRect b = boundsOf(p);
            if (b.center().y() <= mid) {
                upright = pattern(p);
                break;
            }
        }
        QVERIFY(!upright.isEmpty());
        int turned = 0, above = 0;
        for (const Shape &p : pips) {
            const QRect b = boundsOf(p);
            QVERIFY(b.width() >= 9 && b.height() >= 9);
            above += b.bottom() < mid;
            if (b.top() + b.bottom() > 2 * mid) {
                QCOMPARE(pattern(p, true), upright);
                ++turned;
            } else {
                QCOMPARE(pattern(p), upright);
            }
        }
        // Every layout but the seven mirrors about the middle row; the seven
        // has its extra pip above.
        QVERIFY(turned >= 1);
        QCOMPARE(turned, rankOf(index) == 7 ? above - 1 : above);
        QCOMPARE(img.pixel(kPanelL, kH / 2), kWhite); // no court panel
    }

    void acesHaveOneCentreSymbol_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 1; i <= CardRules::kCardCount; ++i)
            if (rankOf(i) == 1)
                QTest::newRow(qPrintable(faceName(i))) << i;
    }
    void acesHaveOneCentreSymbol()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        auto shapes = shapesOf(img, suitColour(index), kField);
        QVERIFY(!shapes.empty());
        std::sort(shapes.begin(), shapes.end(), [](const Shape &a, const Shape &b) { return a.size() > b.size(); });
        const QRect b = boundsOf(shapes.front());
        QVERIFY(qAbs(b.center().x() - kW / 2) <= 1);
        QVERIFY(qAbs(b.center().y() - kH / 2) <= 4);
        // White inside the symbol's box that cannot reach the card's ground is decoration.
        const auto whites = shapesOf(img, kWhite, b);
        int enclosed = 0;
        for (const Shape &w : whites) {
            const QRect wb = boundsOf(w);
            if (wb.left() > b.left() && wb.right() < b.right() && wb.top() > b.top() && wb.bottom() < b.bottom())
                enclosed += int(w.size());
        }
        if (CardRules::suitOf(static_cast<std::int16_t>(index)) == CardRules::Suit::Spades) {
            QVERIFY(b.width() >= 35);
            QVERIFY(enclosed > 30);
        } else {
            QCOMPARE(int(shapes.size()), 1);
            QVERIFY(b.width() >= 15 && b.width() < 30);
            QCOMPARE(enclosed, 0);
        }
    }

    void courtsHaveDoubleEndedPanel_data() { addCourtRows(); }
    void courtsHaveDoubleEndedPanel()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        for (int x = kPanelL; x <= kPanelR; ++x) {
            QCOMPARE(img.pixel(x, kPanelT), kBlack);
            QCOMPARE(img.pixel(x, kPanelB), kBlack);
        }
        for (int y = kPanelT; y <= kPanelB; ++y) {
            QCOMPARE(img.pixel(kPanelL, y), kBlack);
            QCOMPARE(img.pixel(kPanelR, y), kBlack);
        }
        for (int y = kPanelT; y <= kPanelB; ++y)
            for (int x = kPanelL; x <= kPanelR; ++x)
                QCOMPARE(img.pixel(kW - 1 - x, kH - 1 - y), img.pixel(x, y));
    }

    void courtSuitMarksSitByRank_data() { addCourtRows(); }
    void courtSuitMarksSitByRank()
    {
        QFETCH(int, index);
        const QImage img = face(index);
        const Shape mark = cornerSuitMark(img, index);
        const QRect upperInside(kPanelL + 1, kPanelT + 1, kPanelR - kPanelL - 1, 18);
        const QRect lowerInside(kPanelL + 1, kPanelB - 18, kPanelR - kPanelL - 1, 18);
        const auto up = findMark(img, mark, false, suitColour(index), upperInside);
        const auto down = findMark(img, mark, true, suitColour(index), lowerInside);
        QCOMPARE(int(up.size()), 1);
        QCOMPARE(int(down.size()), 1);
        const bool upLeft = up.front().x() < kW / 2;
        const bool downLeft = down.front().x() < kW / 2;
        const bool king = rankOf(index) == 13;
        QCOMPARE(upLeft, king);
        QCOMPARE(downLeft, !king);
    }

    // Each of jack, queen and king has its own figure, the same in every suit.
    void courtFiguresTellRanksApart()
    {
        const QRect head(25, kPanelT + 1, 19, 30); // clear of the panel suit marks
        for (int r = 11; r <= 13; ++r)
            for (int s = 1; s < 4; ++s) {
                const QImage a = face(r), b = face(13 * s + r);
                QCOMPARE(b.copy(head), a.copy(head));
            }
        QVERIFY(face(11).copy(head) != face(12).copy(head));
        QVERIFY(face(12).copy(head) != face(13).copy(head));
        QVERIFY(face(11).copy(head) != face(13).copy(head));
        // The index after a king is an ace: no panel, one centre symbol.
        QCOMPARE(face(13).pixel(kPanelL, kH / 2), kBlack);
        QCOMPARE(face(14).pixel(kPanelL, kH / 2), kWhite);
    }

    void iconIsGreyAceOfSpades()
    {
        const QString path = QStringLiteral(":/icons/tavelk32.bmp");
        const QByteArray bytes = readAll(path);
        checkBmpHeader(bytes, 32, 32, 54 + 32 * 32 * 3);
        QCOMPARE(bytes,
                 readAll(QDir(QStringLiteral(TAVELK_ASSETS_DIR)).filePath(QStringLiteral("icons/tavelk32.bmp"))));
        const QImage img(path);
        QCOMPARE(img.size(), QSize(32, 32));
        QVERIFY(!img.hasAlphaChannel());
        bool black = false, white = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb c = img.pixel(x, y);
                QCOMPARE(qAlpha(c), 255);
                QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
                black |= c == kBlack;
                white |= c == kWhite;
            }
        QVERIFY(black && white);
        // Corner pair turned in the opposite corner, like the card it shows.
        for (int y = 1; y < 12; ++y)
            for (int x = 1; x < 8; ++x)
                QCOMPARE(img.pixel(31 - x, 31 - y), img.pixel(x, y));
    }

    void themedIconsAreOpaqueGrey_data()
    {
        QTest::addColumn<int>("size");
        for (int s : {32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(s))) << s;
    }
    void themedIconsAreOpaqueGrey()
    {
        QFETCH(int, size);
        const QString path =
            QDir(QStringLiteral(TAVELK_ASSETS_DIR)).filePath(QStringLiteral("icons/hicolor/%1/tavelk.png").arg(size));
        const QImage img(path);
        QCOMPARE(img.size(), QSize(size, size));
        QVERIFY(!img.hasAlphaChannel());
        const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
        int black = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb c = rgb.pixel(x, y);
                QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
                black += c == kBlack;
            }
        // Drawn at size rather than blurred up: only a handful of greys.
        QSet<QRgb> tones;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                tones.insert(rgb.pixel(x, y));
        QVERIFY(tones.size() <= 3);
        QVERIFY(black > size * size / 10);
    }

    void generatorReproducesCommittedAssets()
    {
        QTemporaryDir out;
        QVERIFY(out.isValid());
        QProcess gen;
        gen.start(QStringLiteral(TAVELK_CARDGEN), {out.path()});
        QVERIFY(gen.waitForFinished(120000));
        QCOMPARE(gen.exitStatus(), QProcess::NormalExit);
        QCOMPARE(gen.exitCode(), 0);

        const QDir committed(QStringLiteral(TAVELK_ASSETS_DIR));
        QStringList written;
        QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            written << QDir(out.path()).relativeFilePath(it.next());
        written.sort();
        QCOMPARE(written.size(), 52 + 1 + 1 + 5);
        for (const QString &rel : written) {
            const QByteArray fresh = readAll(QDir(out.path()).filePath(rel));
            QVERIFY2(!fresh.isEmpty(), qPrintable(rel));
            QVERIFY2(fresh == readAll(committed.filePath(rel)), qPrintable(rel + QStringLiteral(" differs")));
        }
    }
};

QTEST_GUILESS_MAIN(TestCardFaces)
#include "tst_cardfaces.moc"
