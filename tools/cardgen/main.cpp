// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws every card face and the program icon and writes them under the
// directory given on the command line. The output is the same byte for byte
// on every run, so the committed assets can be checked against it.
#include "faces.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QSaveFile>
#include <QString>

#include <cstdint>
#include <cstdio>

namespace {

// 3780 pixels per metre is 96 dots per inch.
constexpr int kDotsPerMetre = 3780;

bool save(const QImage &source, const QString &path, const char *format)
{
    QImage img = source;
    img.setDotsPerMeterX(kDotsPerMetre);
    img.setDotsPerMeterY(kDotsPerMetre);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !img.save(path, format)) {
        std::fprintf(stderr, "tavelk-cardgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void put(QByteArray &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// Every face, card 1 at the top, in one 8-bit BMP stored top-down, each row
// padded to 4 bytes: the program reads the faces' pixels in place from its
// resources, with no image decoder. The faces hold a handful of colours.
bool saveSheet(const QString &path)
{
    const int stride = (Faces::kWidth + 3) & ~3;
    const int rows = Faces::kHeight * Faces::kCardCount;
    QList<QRgb> palette;
    QByteArray pixels;
    for (int i = 1; i <= Faces::kCardCount; ++i) {
        const QImage face = Faces::card(i).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < face.height(); ++y) {
            QByteArray row(stride, '\0');
            for (int x = 0; x < face.width(); ++x) {
                const QRgb colour = face.pixel(x, y);
                if (!palette.contains(colour))
                    palette.append(colour);
                row[x] = char(palette.indexOf(colour));
            }
            pixels += row;
        }
    }
    if (palette.size() > 256) {
        std::fprintf(stderr, "tavelk-cardgen: the faces hold more than 256 colours\n");
        return false;
    }
    const auto offset = std::uint32_t(14 + 40 + 4 * palette.size());
    QByteArray bmp("BM");
    put(bmp, offset + std::uint32_t(pixels.size()), 4);
    put(bmp, 0, 4);
    put(bmp, offset, 4);
    put(bmp, 40, 4);
    put(bmp, Faces::kWidth, 4);
    put(bmp, std::uint32_t(-rows), 4); // negative: top-down
    put(bmp, 1, 2);
    put(bmp, 8, 2);
    put(bmp, 0, 4); // no compression
    put(bmp, std::uint32_t(pixels.size()), 4);
    put(bmp, kDotsPerMetre, 4);
    put(bmp, kDotsPerMetre, 4);
    put(bmp, std::uint32_t(palette.size()), 4);
    put(bmp, 0, 4);
    for (const QRgb colour : palette)
        put(bmp, std::uint32_t(colour) & 0xffffff, 4); // blue, green, red, 0
    bmp += pixels;
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || file.write(bmp) != bmp.size() || !file.commit()) {
        std::fprintf(stderr, "tavelk-cardgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tavelk-cardgen OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(args.at(1));

    bool ok = true;
    for (int i = 1; i <= Faces::kCardCount; ++i) {
        const QString name = QStringLiteral("cards/card%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
        ok = save(Faces::card(i), out.filePath(name), "BMP") && ok;
    }
    ok = saveSheet(out.filePath(QStringLiteral("cards/faces.bmp"))) && ok;
    ok = save(Faces::icon(32), out.filePath(QStringLiteral("icons/tavelk32.bmp")), "BMP") && ok;
    for (int size : {32, 48, 64, 128, 256}) {
        const QString name = QStringLiteral("icons/hicolor/%1/tavelk.png").arg(size);
        ok = save(Faces::icon(size), out.filePath(name), "PNG") && ok;
    }
    return ok ? 0 : 1;
}
