// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Prints the designed windows and the main window's labels from the tests'
// expected table as JSON, so that the end-to-end tests check the real program
// against the same table as the unit tests.

#include "expected.h"

#include <cstdio>
#include <string>

namespace {

void printRect(const QRect &r)
{
    std::printf("[%d, %d, %d, %d]", r.x(), r.y(), r.width(), r.height());
}

std::string utf8(const char16_t *text)
{
    return QString::fromUtf16(text).toStdString();
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
    // What a screen reader is told, and the exit box's words.
    const Expected::Sentences &say = Expected::kSentences;
    std::printf("},\n\"speech\": {\"runStarted\": \"%s\", \"runEnded\": \"%s\", \"initialised\": \"%s\", "
                "\"afterCard\": \"%s\", \"counts\": \"%s\", \"theory\": \"%s\", \"graph\": \"%s\"},\n",
                utf8(say.runStarted).c_str(), utf8(say.runEnded).c_str(), utf8(say.initialised).c_str(),
                utf8(say.afterCard).c_str(), utf8(say.counts).c_str(), utf8(say.theory).c_str(),
                utf8(say.graph).c_str());
    std::printf("\"exit\": {\"title\": \"%s\", \"question\": \"%s\", \"yes\": \"%s\", \"no\": \"%s\"},\n",
                utf8(Expected::kExitBox.title).c_str(), utf8(Expected::kExitBox.question).c_str(),
                utf8(Expected::kExitBox.yes).c_str(), utf8(Expected::kExitBox.no).c_str());
    std::printf("\"helpLines\": [");
    separator = "";
    for (const QString &line : Expected::helpLines()) {
        std::printf("%s\"%s\"", separator, line.toStdString().c_str());
        separator = ", ";
    }
    std::printf("],\n\"cards\": [");
    for (int i = 0; i <= 52; ++i)
        std::printf("%s\"%s\"", i == 0 ? "" : ", ", Expected::cardName(i).toStdString().c_str());
    std::printf("]\n}\n");
    return 0;
}
