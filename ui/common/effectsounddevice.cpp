// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/common/effectsounddevice.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QStandardPaths>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <optional>

namespace {

struct WaveLayout {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    qint64 dataAt = 0;
    qint64 dataSize = 0;
};

// Walks the chunk headers in place, reading each into a fixed buffer; the
// layout is returned only for uncompressed PCM with its samples all there.
std::optional<WaveLayout> readLayout(QFile &file)
{
    if (file.size() < 44 || file.size() > 64 * 1024 * 1024)
        return std::nullopt;
    char riff[12];
    if (file.read(riff, sizeof riff) != sizeof riff || std::memcmp(riff, "RIFF", 4) != 0
        || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    const qint64 end = file.size();
    std::optional<WaveLayout> layout;
    qint64 at = sizeof riff;
    char chunk[8];
    while (at + qint64(sizeof chunk) <= end && file.seek(at) && file.read(chunk, sizeof chunk) == sizeof chunk) {
        const quint32 size = qFromLittleEndian<quint32>(chunk + 4);
        const qint64 body = at + qint64(sizeof chunk);
        if (size > end - body)
            return std::nullopt;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            char fmt[16];
            if (size < sizeof fmt || file.read(fmt, sizeof fmt) != sizeof fmt)
                return std::nullopt;
            const auto format = qFromLittleEndian<quint16>(fmt);
            WaveLayout found;
            found.channels = qFromLittleEndian<quint16>(fmt + 2);
            found.rate = int(qFromLittleEndian<quint32>(fmt + 4));
            found.bits = qFromLittleEndian<quint16>(fmt + 14);
            layout.reset();
            if (format == 1 && found.channels >= 1 && found.channels <= 2 && found.rate >= 8000 && found.rate <= 192000
                && (found.bits == 8 || found.bits == 16 || found.bits == 24 || found.bits == 32))
                layout = found;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!layout)
                return std::nullopt;
            // Only whole frames are played.
            const qint64 frame = layout->channels * layout->bits / 8;
            layout->dataAt = body;
            layout->dataSize = size / frame * frame;
            if (layout->dataSize == 0)
                return std::nullopt;
            return layout;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

QAudioFormat audioFormat(const WaveLayout &layout)
{
    QAudioFormat format;
    format.setSampleRate(layout.rate);
    format.setChannelCount(layout.channels);
    // Qt has no 24-bit samples: those are widened to 32 bits.
    format.setSampleFormat(layout.bits == 8    ? QAudioFormat::UInt8
                           : layout.bits == 16 ? QAudioFormat::Int16
                                               : QAudioFormat::Int32);
    return format;
}

QByteArray widen24(const QByteArray &packed)
{
    const qsizetype samples = packed.size() / 3;
    QByteArray wide(samples * 4, Qt::Uninitialized);
    const char *in = packed.constData();
    char *out = wide.data();
    for (qsizetype i = 0; i < samples; ++i) {
        out[4 * i] = 0;
        out[4 * i + 1] = in[3 * i];
        out[4 * i + 2] = in[3 * i + 1];
        out[4 * i + 3] = in[3 * i + 2];
    }
    return wide;
}

} // namespace

EffectSoundDevice::EffectSoundDevice() : m_searchDirs{QCoreApplication::applicationDirPath()}, m_searchDataDirs(true) {}

EffectSoundDevice::EffectSoundDevice(QStringList searchDirs) : m_searchDirs(std::move(searchDirs)) {}

EffectSoundDevice::~EffectSoundDevice()
{
    for (const auto &sink : m_sinks)
        sink->stop();
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
    return file.open(QIODevice::ReadOnly) && readLayout(file).has_value();
}

void EffectSoundDevice::prepare()
{
    // Qt connects to the sound server when its devices are first asked for.
    QMediaDevices::defaultAudioOutput();
}

QAudioSink *EffectSoundDevice::sinkFor(const QAudioFormat &format)
{
    const auto found = std::find_if(m_sinks.begin(), m_sinks.end(),
                                    [&](const auto &sink) { return sink->format() == format; });
    if (found != m_sinks.end())
        return found->get();
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return nullptr;
    auto sink = std::make_unique<QAudioSink>(output, format);
    // The server starts playing once this much is written; a short target
    // keeps the cue's onset close to the request.
    sink->setBufferSize(format.bytesForDuration(50000));
    return m_sinks.emplace_back(std::move(sink)).get();
}

void EffectSoundDevice::stop()
{
    if (m_sink)
        m_sink->stop();
}

void EffectSoundDevice::close()
{
    m_sink = nullptr;
    m_samples.clear();
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
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const std::optional<WaveLayout> layout = readLayout(file);
    if (!layout || !file.seek(layout->dataAt))
        return;
    QByteArray samples = file.read(layout->dataSize);
    if (samples.size() != layout->dataSize)
        return;
    m_samples = layout->bits == 24 ? widen24(samples) : samples;
    m_format = audioFormat(*layout);
    m_sink = sinkFor(m_format);
}

void EffectSoundDevice::sound()
{
    if (!m_sink || m_samples.isEmpty())
        return;
    // The whole cue in one write: the server buffers it and plays it out.
    if (QIODevice *stream = m_sink->start())
        stream->write(m_samples);
}
