// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/experiment.h"

Module1 &Module1::instance()
{
    static Module1 record;
    return record;
}
