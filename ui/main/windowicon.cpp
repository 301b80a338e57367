// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/windowicon.h"

#include <QImage>
#include <QPixmap>
#include <QResource>
#include <QtEndian>

QIcon mainWindowIcon()
{
    const QString path = QStringLiteral(":/icons/tavelk32.bmp");
    const QResource resource(path);
    const uchar *bytes = resource.data();
    const auto at = [&](int offset) { return qFromLittleEndian<quint32>(bytes + offset); };
    // An uncompressed, bottom-up, 24-bit BMP, as tools/cardgen writes it;
    // anything else goes through Qt's reader.
    constexpr int kSide = 32;
    constexpr quint32 kStride = kSide * 3;
    if (!bytes || resource.compressionAlgorithm() != QResource::NoCompression || resource.size() < 54 || bytes[0] != 'B'
        || bytes[1] != 'M' || at(14) != 40 || at(18) != kSide || at(22) != kSide
        || qFromLittleEndian<quint16>(bytes + 28) != 24 || at(30) != 0
        || at(10) + quint64(kStride) * kSide > quint64(resource.size()))
        return QIcon(path);
    const QImage rows(bytes + at(10), kSide, kSide, kStride, QImage::Format_BGR888);
    // As Qt's reader gives it: top row first, opaque RGB32.
    return QIcon(QPixmap::fromImage(rows.mirrored().convertToFormat(QImage::Format_RGB32)));
}
