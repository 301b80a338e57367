// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/effectsounddevice.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

EffectSoundDevice::EffectSoundDevice() : m_searchDirs{QCoreApplication::applicationDirPath()}, m_searchDataDirs(true) {}

EffectSoundDevice::EffectSoundDevice(QStringList searchDirs) : m_searchDirs(std::move(searchDirs)) {}

EffectSoundDevice::~EffectSoundDevice() = default;

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
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    bool formatOk = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const qsizetype body = at + 8;
        if (size > quint32(bytes.size() - body))
            return false;
        if (id == "fmt ") {
            if (size < 16)
                return false;
            const auto format = qFromLittleEndian<quint16>(bytes.constData() + body);
            const auto channels = qFromLittleEndian<quint16>(bytes.constData() + body + 2);
            const auto rate = qFromLittleEndian<quint32>(bytes.constData() + body + 4);
            const auto bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
            formatOk = format == 1 && channels >= 1 && channels <= 2 && rate >= 8000 && rate <= 192000
                && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
        } else if (id == "data") {
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
