// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/effectsounddevice.h"

#include "sound/wavefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>

namespace {

std::vector<std::string> encoded(const QStringList &dirs)
{
    std::vector<std::string> out;
    for (const QString &dir : dirs)
        out.push_back(QFile::encodeName(dir).toStdString());
    return out;
}

// The names under which the volume mixer shows the cues.
CuePlayer::Identity identity()
{
    return {"Tavelk", "tavelk", QGuiApplication::desktopFileName().toStdString()};
}

} // namespace

EffectSoundDevice::EffectSoundDevice()
    // The application's folder under each XDG data directory, the user's own
    // first; only the names are made here, the sound thread looks at them.
    : m_player(encoded(QStringList{QCoreApplication::applicationDirPath()}
                       + QStandardPaths::standardLocations(QStandardPaths::AppDataLocation)),
               identity())
{
}

EffectSoundDevice::EffectSoundDevice(const QStringList &searchDirs) : m_player(encoded(searchDirs), identity()) {}

void EffectSoundDevice::setFileName(const QString &fileName)
{
    m_player.setFileName(QFile::encodeName(fileName).toStdString());
}

QString EffectSoundDevice::resolvedPath() const
{
    return QFile::decodeName(QByteArray::fromStdString(m_player.outcome().openedPath));
}

QString EffectSoundDevice::refusal() const
{
    return QString::fromStdString(m_player.outcome().refusal);
}

bool EffectSoundDevice::isPlayableWave(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > qint64(WaveFile::kMaxFileBytes))
        return false;
    const QByteArray bytes = file.readAll();
    return WaveFile::parse({reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())}).ok;
}
