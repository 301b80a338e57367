// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Reads a RIFF/WAVE file held in memory, with limits that fit a short cue: a
// file from the user's own data folder may be broken or hostile, and must
// cost no more than a real cue to turn down. No Qt, so that the fuzzer links
// it alone.
namespace WaveFile {

inline constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;
inline constexpr int kMaxSeconds = 5;
inline constexpr int kMaxChunks = 64;

// The sample layouts the sound server takes as they are, so no conversion.
enum class Samples { UInt8, Int16, Int24, Int32, Float32 };

struct Layout {
    Samples samples = Samples::Int16;
    int channels = 0;
    int rate = 0;
    int bytesPerFrame = 0;
    std::size_t dataAt = 0;
    // Whole frames only.
    std::size_t dataSize = 0;
};

struct Result {
    bool ok = false;
    Layout layout;
    // Why the file is turned down, for one line on stderr.
    std::string why;
};

// The file's whole content.
Result parse(std::span<const std::uint8_t> bytes);

// Why a file larger than kMaxFileBytes is turned down, without reading it.
std::string tooLarge();

} // namespace WaveFile
