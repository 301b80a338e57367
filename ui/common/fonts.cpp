// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#include <dlfcn.h>

namespace Fonts {

namespace {

const QStringList &designSubstitutes()
{
    static const QStringList faces{QStringLiteral("IPAPGothic"),   QStringLiteral("IPAexGothic"),
                                   QStringLiteral("VL PGothic"),   QStringLiteral("Noto Sans CJK JP"),
                                   QStringLiteral("TakaoPGothic"), QStringLiteral("IPAGothic")};
    return faces;
}

// The design face where it is installed, else the first installed face
// that stands for it. Asked for by a name no installed face has, Qt has
// fontconfig sort every installed font for fallbacks for each script of the
// texts (kana, kanji, Latin), most of the font work before the first frame;
// asked for by an installed face's own name, only for a character that face
// lacks. The face drawn is the same either way.
QString designFamily()
{
    static const QString family = [] {
        if (QFontDatabase::hasFamily(kDesignFace))
            return kDesignFace;
        for (const QString &face : designSubstitutes()) {
            if (QFontDatabase::hasFamily(face))
                return face;
        }
        return kDesignFace;
    }();
    return family;
}

} // namespace

void readConfiguration()
{
    // Qt's own fontconfig, loaded with Qt, which reads the configuration
    // once per process: Qt's own call then returns at once.
    if (const auto init = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "FcInit")))
        init();
}

void installSubstitutions()
{
    // The platform's dialog face keeps its Latin letters; Japanese in it would
    // otherwise fall back to the fixed-width IPAGothic, which looks gappy in
    // running text and costs a second 2 MB font file.
    QFont dialog = QApplication::font();
    dialog.setFamilies({dialog.family(), QStringLiteral("IPAPGothic")});
    QApplication::setFont(dialog);

    QFont::insertSubstitutions(kDesignFace, designSubstitutes());
}

QFont designFont(int pixelSize, bool bold)
{
    QFont font(designFamily());
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
