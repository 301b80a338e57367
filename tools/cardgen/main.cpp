// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws every card face and the program icon and writes them under the
// directory given on the command line. The output is the same byte for byte
// on every run, so the committed assets can be checked against it.
#include "faces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>

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
    ok = save(Faces::icon(32), out.filePath(QStringLiteral("icons/tavelk32.bmp")), "BMP") && ok;
    for (int size : {32, 48, 64, 128, 256}) {
        const QString name = QStringLiteral("icons/hicolor/%1/tavelk.png").arg(size);
        ok = save(Faces::icon(size), out.filePath(name), "PNG") && ok;
    }
    return ok ? 0 : 1;
}
