// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/fonts.h"

#include <QApplication>

namespace Fonts {

void installSubstitutions()
{
    // The platform's dialog face keeps its Latin letters; Japanese in it would
    // otherwise fall back to the fixed-width IPAGothic, which looks gappy in
    // running text and costs a second 2 MB font file.
    QFont dialog = QApplication::font();
    dialog.setFamilies({dialog.family(), QStringLiteral("IPAPGothic")});
    QApplication::setFont(dialog);

    QFont::insertSubstitutions(kDesignFace,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("TakaoPGothic"), QStringLiteral("IPAGothic")});
}

QFont designFont(int pixelSize, bool bold)
{
    QFont font(kDesignFace);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont dialogFont()
{
    return QApplication::font();
}

QFont font(Design::Font font)
{
    return font.pixelSize == 0 ? dialogFont() : designFont(font.pixelSize, font.bold);
}

QFont graphFont()
{
    // The platform's dialog face (DejaVu Sans at 12 px here) prints "1.00"
    // 25 px wide, across the ticks.
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(10);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace Fonts
