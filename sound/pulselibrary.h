// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/wavefile.h"

#include <pulse/pulseaudio.h>

#include <string>

#include <dlfcn.h>

// The sound server's client library, loaded by name on the sound thread:
// linked, it and the dozen libraries it pulls in would load before the
// first window.
#define TAVELK_PULSE_FUNCTIONS(X)                                                                                      \
    X(pa_mainloop_new)                                                                                                 \
    X(pa_mainloop_free)                                                                                                \
    X(pa_mainloop_get_api)                                                                                             \
    X(pa_mainloop_prepare)                                                                                             \
    X(pa_mainloop_poll)                                                                                                \
    X(pa_mainloop_dispatch)                                                                                            \
    X(pa_proplist_new)                                                                                                 \
    X(pa_proplist_sets)                                                                                                \
    X(pa_proplist_free)                                                                                                \
    X(pa_context_new_with_proplist)                                                                                    \
    X(pa_context_connect)                                                                                              \
    X(pa_context_disconnect)                                                                                           \
    X(pa_context_unref)                                                                                                \
    X(pa_context_get_state)                                                                                            \
    X(pa_context_set_state_callback)                                                                                   \
    X(pa_stream_new_with_proplist)                                                                                     \
    X(pa_stream_connect_playback)                                                                                      \
    X(pa_stream_disconnect)                                                                                            \
    X(pa_stream_unref)                                                                                                 \
    X(pa_stream_get_state)                                                                                             \
    X(pa_stream_set_state_callback)                                                                                    \
    X(pa_stream_write)                                                                                                 \
    X(pa_stream_drain)                                                                                                 \
    X(pa_operation_unref)                                                                                              \
    X(pa_usec_to_bytes)

struct PulseLibrary {
#define TAVELK_DECLARE(name) decltype(&::name) name = nullptr;
    TAVELK_PULSE_FUNCTIONS(TAVELK_DECLARE)
#undef TAVELK_DECLARE

    bool load()
    {
        // Never unloaded: the library's own threads and handlers may outlive us.
        void *library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
#define TAVELK_RESOLVE(name)                                                                                           \
    if (!(name = reinterpret_cast<decltype(name)>(dlsym(library, #name))))                                             \
        return false;
        TAVELK_PULSE_FUNCTIONS(TAVELK_RESOLVE)
#undef TAVELK_RESOLVE
        return true;
    }

    // Who plays, for the volume mixer; with a media name, what plays.
    pa_proplist *properties(const std::string &name, const std::string &icon, const std::string &id,
                            const char *mediaName) const
    {
        pa_proplist *list = pa_proplist_new();
        pa_proplist_sets(list, PA_PROP_APPLICATION_NAME, name.c_str());
        pa_proplist_sets(list, PA_PROP_APPLICATION_ICON_NAME, icon.c_str());
        pa_proplist_sets(list, PA_PROP_APPLICATION_ID, id.c_str());
        if (mediaName) {
            pa_proplist_sets(list, PA_PROP_MEDIA_ROLE, "event");
            pa_proplist_sets(list, PA_PROP_MEDIA_NAME, mediaName);
        }
        return list;
    }

    // The wave's own layout: the server takes every one the reader allows.
    static pa_sample_format_t sampleFormat(WaveFile::Samples samples)
    {
        switch (samples) {
        case WaveFile::Samples::UInt8:
            return PA_SAMPLE_U8;
        case WaveFile::Samples::Int16:
            return PA_SAMPLE_S16LE;
        case WaveFile::Samples::Int24:
            return PA_SAMPLE_S24LE;
        case WaveFile::Samples::Int32:
            return PA_SAMPLE_S32LE;
        case WaveFile::Samples::Float32:
            return PA_SAMPLE_FLOAT32LE;
        }
        return PA_SAMPLE_INVALID;
    }
};
