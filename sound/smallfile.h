// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files the sound thread reads may sit in the user's own folders and be
// anything: a pipe or a device in their place must not hold the thread, and
// a huge one must cost no more than a small one.
enum class SmallFile { Read, TooLarge, Unreadable };

// The whole of a regular file of at most limit bytes.
SmallFile readSmallFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &bytes);
