// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Prints the designed geometry and captions from the tests' expected table
// as shell assignments, for run.sh to eval: the end-to-end tests click and
// read the screen where the unit tests check the widgets.

#include "expected.h"

#include <cstdio>

namespace {

// A control's rectangle in a window's client area, on the screen: "X Y W H".
void printRect(const char *name, const QRect &client, const QRect &rect)
{
    std::printf("%s='%d %d %d %d'\n", name, client.x() + rect.x(), client.y() + rect.y(), rect.width(),
                rect.height());
}

void printWindow(const char *name, const char *origin, const Expected::Window &window)
{
    std::printf("%s='%s'\n", name, QString::fromUtf16(window.caption).toUtf8().constData());
    std::printf("%sX=%d %sY=%d\n", origin, window.client.x(), origin, window.client.y());
    std::printf("%s_SIZE='%d %d'\n", name, window.client.width(), window.client.height());
    if (!window.closeButton.isNull()) {
        const QPoint centre = window.client.topLeft() + window.closeButton.center();
        std::printf("%s_CLOSE_AT='%d %d'\n", name, centre.x(), centre.y());
    }
}

} // namespace

int main()
{
    const QRect main = Expected::kMainWindow.client;
    printWindow("MAIN", "M", Expected::kMainWindow);
    printWindow("GRAPH", "G", Expected::kGraphWindow);
    printWindow("HELP", "H", Expected::kHelpWindow);
    // Client-area rectangles of the main window's buttons.
    std::printf("declare -A BUTTON=(");
    for (const Expected::Button &b : Expected::kButtons)
        std::printf(" [%d]='%d %d %d %d'", b.number, b.rect.x(), b.rect.y(), b.rect.width(), b.rect.height());
    std::printf(" )\n");
    for (const Expected::Label &l : Expected::kLabels) {
        const QByteArray name = l.number == 13 ? QByteArray("TITLE") : "LABEL" + QByteArray::number(l.number);
        printRect(name.constData(), main, l.rect);
    }
    printRect("CARD", main, Expected::kCards);
    return 0;
}
