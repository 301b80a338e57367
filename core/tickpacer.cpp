// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/tickpacer.h"

#include <algorithm>

void TickPacer::start(Duration now)
{
    m_ticks = 0;
    m_anchor = now;
}

void TickPacer::catchUp(Duration now)
{
    if (now - (m_anchor + m_ticks * m_interval) > kMaxBacklog * m_interval)
        m_anchor = now - m_ticks * m_interval;
}

TickPacer::Duration TickPacer::untilNext(Duration now)
{
    catchUp(now);
    return std::max(m_anchor + (m_ticks + 1) * m_interval - now, Duration(0));
}

std::int64_t TickPacer::due(Duration now)
{
    if (m_interval <= Duration(0)) // no interval: always one more
        return 1;
    catchUp(now);
    return std::max<std::int64_t>((now - m_anchor) / m_interval - m_ticks, 0);
}
