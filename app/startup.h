// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// When Qt cannot open its platform (no display, a missing or unusable
// platform plugin) it ends the process with a fatal message full of advice
// and abort(), which leaves a core dump. While the application object is
// being built, Qt's messages are held back; if that ends fatally, one message
// is printed instead, a plain first line followed by Qt's own reasons, and
// the process exits with 1.
namespace Startup {

void holdMessages();
// Restores the previous message handler and prints what was held back.
void releaseMessages();

} // namespace Startup
