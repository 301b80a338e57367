// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main/valueboxpublisher.h"

#include "ui/main/boxlabel.h"
#include "ui/main/ticktimer.h"

namespace {

// While a run goes, tools hear of the changing numbers at most this often.
constexpr int kPublishIntervalMs = 1000;

} // namespace

ValueBoxPublisher::ValueBoxPublisher(const TickTimer &run) : m_run(run)
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(kPublishIntervalMs);
    QObject::connect(&m_pending, &QTimer::timeout, &m_pending, [this] { publishAll(); });
}

void ValueBoxPublisher::textChanged(BoxLabel *box)
{
    if (!m_run.isActive())
        box->publishText();
    else if (!m_pending.isActive())
        m_pending.start();
}

void ValueBoxPublisher::publishAll()
{
    m_pending.stop();
    for (BoxLabel *box : m_boxes)
        box->publishText();
}
