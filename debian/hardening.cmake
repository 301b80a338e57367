# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Read right after the project() call (CMAKE_PROJECT_INCLUDE, from
# debian/rules). Debian's hardening flags ask for position-independent code
# in every object and a PIE link. Targets linking Qt get -fPIC from Qt, but
# the resource objects built for the card faces link nothing; and CMake adds
# the PIE link flags only once the linker was checked for them.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
