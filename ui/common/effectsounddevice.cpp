// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/effectsounddevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <cstring>

EffectSoundDevice::EffectSoundDevice() : m_searchDirs{QCoreApplication::applicationDirPath()}, m_searchDataDirs(true) {}

EffectSoundDevice::EffectSoundDevice(QStringList searchDirs) : m_searchDirs(std::move(searchDirs)) {}

EffectSoundDevice::~EffectSoundDevice()
{
    // QSoundEffect learns that its sample has loaded through queued signals,
    // and gives the sample back to Qt's cache only if it has. Destroyed while
    // the sample still loads (a cue just before exit, a test ending), the
    // sample, its reader and the loading thread's network manager are never
    // freed. Let the loading end first: a checked local wave takes
    // milliseconds.
    if (m_effect && m_effect->status() == QSoundEffect::Loading) {
        QEventLoop loop;
        QObject::connect(m_effect.get(), &QSoundEffect::statusChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

QStringList EffectSoundDevice::candidates(const QString &fileName) const
{
    QStringList paths;
    for (const QString &dir : m_searchDirs)
        paths << dir + QLatin1Char('/') + fileName;
    // The application's folder under each XDG data directory, the user's own first.
    if (m_searchDataDirs)
        paths << QStandardPaths::locateAll(QStandardPaths::AppDataLocation, fileName);
    return paths;
}

bool EffectSoundDevice::isPlayableWave(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 44 || file.size() > 64 * 1024 * 1024)
        return false;
    // Walk the chunk headers in place, reading each into a fixed buffer.
    char riff[12];
    if (file.read(riff, sizeof riff) != sizeof riff || std::memcmp(riff, "RIFF", 4) != 0
        || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return false;
    const qint64 end = file.size();
    bool formatOk = false;
    qint64 at = sizeof riff;
    char chunk[8];
    while (at + qint64(sizeof chunk) <= end && file.seek(at) && file.read(chunk, sizeof chunk) == sizeof chunk) {
        const quint32 size = qFromLittleEndian<quint32>(chunk + 4);
        const qint64 body = at + qint64(sizeof chunk);
        if (size > end - body)
            return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            char fmt[16];
            if (size < sizeof fmt || file.read(fmt, sizeof fmt) != sizeof fmt)
                return false;
            const auto format = qFromLittleEndian<quint16>(fmt);
            const auto channels = qFromLittleEndian<quint16>(fmt + 2);
            const auto rate = qFromLittleEndian<quint32>(fmt + 4);
            const auto bits = qFromLittleEndian<quint16>(fmt + 14);
            formatOk = format == 1 && channels >= 1 && channels <= 2 && rate >= 8000 && rate <= 192000
                && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            return formatOk && size > 0;
        }
        at = body + size + (size & 1);
    }
    return false;
}

void EffectSoundDevice::stop()
{
    if (m_effect)
        m_effect->stop();
}

void EffectSoundDevice::close()
{
    if (m_effect)
        m_effect->setSource(QUrl());
}

void EffectSoundDevice::setFileName(const QString &fileName)
{
    m_path.clear();
    for (const QString &path : candidates(fileName)) {
        const QFileInfo candidate(path);
        if (candidate.isFile()) {
            if (isPlayableWave(candidate.absoluteFilePath()))
                m_path = candidate.absoluteFilePath();
            return;
        }
    }
}

void EffectSoundDevice::open()
{
    if (m_path.isEmpty())
        return;
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(m_path));
}

void EffectSoundDevice::sound()
{
    if (m_effect && !m_path.isEmpty())
        m_effect->play();
}
