// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>

// The main window's icon, the 32 x 32 BMP in the program's resources, its
// pixels read in place. Read through QImageReader, the program's first image
// has Qt look through its image format plugins first, which cost the first
// frame about 2 ms of CPU and twice that of wall time.
QIcon mainWindowIcon();
