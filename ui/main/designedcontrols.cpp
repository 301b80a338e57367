// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/designedcontrols.h"

#include "core/design.h"
#include "ui/common/fonts.h"
#include "ui/common/fromcore.h"
#include "ui/main/boxlabel.h"

#include <QPushButton>

namespace DesignedControls {

using namespace Design::Form1;

std::array<QPushButton *, 8> buttons(QWidget *window)
{
    std::array<QPushButton *, 8> made{};
    for (const Design::Button &row : kButtons) {
        auto *button = new QPushButton(FromCore::text(row.caption), window);
        button->setObjectName(QStringLiteral("Command%1").arg(row.number));
        button->setGeometry(FromCore::rect(row.rect));
        button->setFont(Fonts::font(row.font));
        // Enter clicks the focused button only; there is no default button.
        button->setAutoDefault(true);
        button->setFocusPolicy(Qt::StrongFocus);
        made[std::size_t(row.number - 1)] = button;
    }
    for (std::size_t i = 1; i < made.size(); ++i)
        QWidget::setTabOrder(made[i - 1], made[i]);
    return made;
}

std::array<BoxLabel *, 13> labels(QWidget *window)
{
    std::array<BoxLabel *, 13> made{};
    for (const Design::Label &row : kLabels) {
        auto *label = new BoxLabel(FromCore::text(row.text), window);
        label->setObjectName(QStringLiteral("Label%1").arg(row.number));
        const QRect rect = FromCore::rect(row.rect);
        label->setGeometry(rect);
        // A box of fixed size: it never follows its text, and a new text
        // then asks the window for no layout pass on every tick.
        label->setFixedSize(rect.size());
        label->setFont(Fonts::designFont(kLabelPixelSize, row.bold));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, FromCore::colour(row.ground.rgb));
        // The boxes keep their white and light-yellow grounds under any
        // theme, so the window-text and button-text roles are read as their
        // classic black: a dark theme's light text would vanish on them.
        const bool fixedInk = row.ink.role == Design::Colour::Role::Fixed;
        pal.setColor(QPalette::WindowText, fixedInk ? FromCore::colour(row.ink.rgb) : QColor(Qt::black));
        label->setPalette(pal);
        made[std::size_t(row.number - 1)] = label;
    }
    for (const Design::CaptionLink &link : kCaptionLinks)
        made[std::size_t(link.value - 1)]->addCaption(made[std::size_t(link.caption - 1)]);
    return made;
}

} // namespace DesignedControls
