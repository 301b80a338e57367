#include "ui/common/fonts.h"

#include <QApplication>

namespace Fonts {

void installSubstitutions()
{
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

QFont dialogFont() { return QApplication::font(); }

} // namespace Fonts
