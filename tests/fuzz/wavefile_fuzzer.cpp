// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the wave reader: any bytes, as a file in the user's
// data folder could hold them. A layout it accepts must lie inside the
// input and inside the limits.
#include "sound/wavefile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const WaveFile::Result result = WaveFile::parse({data, size});
    if (!result.ok)
        return 0;
    const WaveFile::Layout &layout = result.layout;
    if (layout.dataSize == 0 || layout.dataAt > size || layout.dataSize > size - layout.dataAt
        || layout.dataSize % std::size_t(layout.bytesPerFrame) != 0
        || layout.dataSize / std::size_t(layout.bytesPerFrame) > std::size_t(layout.rate) * WaveFile::kMaxSeconds)
        std::abort();
    return 0;
}
