// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Lets assistive tools read a RetainedCanvas; safe to call more than once.
void installCanvasAccessibleFactory();
