// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Prints the designed windows and the main window's labels from the tests'
// expected table as JSON, so that the end-to-end tests check the real program
// against the same table as the unit tests.

#include "expected.h"

#include <cstdio>

namespace {

void printRect(const QRect &r)
{
    std::printf("[%d, %d, %d, %d]", r.x(), r.y(), r.width(), r.height());
}

void printWindow(const char *key, const Expected::Window &window)
{
    std::printf("\"%s\": {\"caption\": \"%s\", \"client\": ", key,
                QString::fromUtf16(window.caption).toUtf8().constData());
    printRect(window.client);
    std::printf("},\n");
}

} // namespace

int main()
{
    std::printf("{\n");
    printWindow("main", Expected::kMainWindow);
    printWindow("graph", Expected::kGraphWindow);
    printWindow("help", Expected::kHelpWindow);
    std::printf("\"close\": \"%s\",\n", QString::fromUtf16(Expected::kCloseCaption).toUtf8().constData());
    std::printf("\"buttons\": [");
    for (const Expected::Button &b : Expected::kButtons)
        std::printf("%s\"%s\"", b.number == 1 ? "" : ", ", QString::fromUtf16(b.caption).toUtf8().constData());
    // Buttons by caption and labels by number, each with its place in the
    // main window's client area.
    std::printf("],\n\"places\": {");
    const char *separator = "";
    for (const Expected::Button &b : Expected::kButtons) {
        std::printf("%s\"%s\": ", separator, QString::fromUtf16(b.caption).toUtf8().constData());
        printRect(b.rect);
        separator = ", ";
    }
    std::printf("},\n\"labels\": {");
    separator = "";
    for (const Expected::Label &l : Expected::kLabels) {
        std::printf("%s\"%d\": ", separator, l.number);
        printRect(l.rect);
        separator = ", ";
    }
    std::printf("}\n}\n");
    return 0;
}
