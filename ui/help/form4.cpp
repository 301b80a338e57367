// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/help/form4.h"

#include "ui/common/fonts.h"
#include "ui/common/retainedcanvas.h"
#include "ui/help/helptext.h"

namespace {

// The canvas measures in twips.
constexpr int kTwipsPerPixel = 15;

} // namespace

Form4::Form4(QWidget *parent)
    : CanvasWindow({QStringLiteral(" Tavelk＿ヘルプ（設問と操作方法）"), QRect(232, 149, 570, 488),
                    QRect(504, 0, 57, 25), QLine(8, 24, 560, 24), QRect(8, 32, 553, 449),
                    /*pictureFirstInTabOrder=*/false},
                   parent)
{
    picture()->setFont(Fonts::designFont(15, false));
    const QSize area = picture()->areaSize();
    picture()->setScale(area.width() * kTwipsPerPixel, area.height() * kTwipsPerPixel);
    // The text is painted; the canvas hands what it printed to a screen
    // reader as read-only text, line by line.
    picture()->setAccessibleName(QStringLiteral("ヘルプ（設問と操作方法）"));
    picture()->setReadable(true);
}

// Cleared first, so however often the window is activated the text is
// there exactly once.
void Form4::Form_Activate()
{
    RetainedCanvas::Batch batch(*picture());
    picture()->cls();
    for (const QString &text : HelpText::lines())
        picture()->print(text);
}

void Form4::Command1_Click()
{
    CanvasWindow::Command1_Click();
    emit backToMain();
}
