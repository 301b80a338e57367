// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/punctualtimers.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

void preparePunctualTimers()
{
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}
