// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/wavefile.h"

#include <cstring>

namespace WaveFile {

namespace {

std::uint16_t le16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kFloat = 3;
constexpr std::uint16_t kExtensible = 0xFFFE;
// The sub-format GUID after its first two bytes, shared by PCM and float.
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

Result refuse(std::string why)
{
    return Result{false, {}, std::move(why)};
}

// The fmt chunk's body to a layout, or why not.
Result readFormat(const std::uint8_t *fmt, std::uint32_t size)
{
    if (size < 16)
        return refuse("fmt chunk too short");
    std::uint16_t tag = le16(fmt);
    const int channels = le16(fmt + 2);
    const std::uint32_t rate = le32(fmt + 4);
    const int bits = le16(fmt + 14);
    if (tag == kExtensible) {
        if (size < 40 || le16(fmt + 16) < 22)
            return refuse("extensible fmt chunk too short");
        if (std::memcmp(fmt + 26, kGuidTail, sizeof kGuidTail) != 0)
            return refuse("unknown sub-format");
        tag = le16(fmt + 24);
    }
    Layout layout;
    if (tag == kPcm && bits == 8)
        layout.samples = Samples::UInt8;
    else if (tag == kPcm && bits == 16)
        layout.samples = Samples::Int16;
    else if (tag == kPcm && bits == 24)
        layout.samples = Samples::Int24;
    else if (tag == kPcm && bits == 32)
        layout.samples = Samples::Int32;
    else if (tag == kFloat && bits == 32)
        layout.samples = Samples::Float32;
    else
        return refuse("not 8-, 16-, 24- or 32-bit PCM or 32-bit float");
    if (channels < 1 || channels > 2)
        return refuse("not mono or stereo");
    if (rate < 8000 || rate > 192000)
        return refuse("sample rate outside 8000-192000 Hz");
    layout.channels = channels;
    layout.rate = int(rate);
    layout.bytesPerFrame = channels * bits / 8;
    return Result{true, layout, {}};
}

} // namespace

std::string tooLarge()
{
    return "larger than " + std::to_string(kMaxFileBytes / (1024 * 1024)) + " MiB";
}

Result parse(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > kMaxFileBytes)
        return refuse(tooLarge());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return refuse("not a RIFF/WAVE file");
    const std::size_t end = bytes.size();
    Result format = refuse("no fmt chunk before the data");
    std::size_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        if (end - at < 8)
            return refuse("no data chunk");
        const std::uint8_t *header = bytes.data() + at;
        const std::uint32_t size = le32(header + 4);
        const std::size_t body = at + 8;
        if (size > end - body)
            return refuse("a chunk runs past the end of the file");
        if (std::memcmp(header, "fmt ", 4) == 0) {
            format = readFormat(bytes.data() + body, size);
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!format.ok)
                return format;
            Layout &layout = format.layout;
            layout.dataAt = body;
            layout.dataSize = size / std::size_t(layout.bytesPerFrame) * std::size_t(layout.bytesPerFrame);
            if (layout.dataSize == 0)
                return refuse("no samples");
            if (layout.dataSize / std::size_t(layout.bytesPerFrame) > std::size_t(layout.rate) * kMaxSeconds)
                return refuse("longer than " + std::to_string(kMaxSeconds) + " seconds");
            return format;
        }
        // Chunks are padded to an even length; the pad may be missing at the end.
        at = body + size + (size & 1);
        if (at > end)
            return refuse("no data chunk");
    }
    return refuse("more than " + std::to_string(kMaxChunks) + " chunks before the data");
}

} // namespace WaveFile
