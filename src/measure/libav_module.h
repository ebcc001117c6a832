#pragma once

#include "measure/probe_types.h"

#include <cstdint>
#include <stop_token>

namespace quillmark {

// What libavformat made of a file. A file that could not be read (failedToRead: an I/O error, no
// memory) or whose reading was stopped says nothing about its content.
struct LibavReading {
    enum class Outcome { notMedia, read, outOfBytes, outOfTime, failedToRead, stopped };
    Outcome outcome = Outcome::notMedia;
    MediaProbe probe;
    int error = 0; // with failedToRead, the errno value
};

// The functions of quillmark_libav.so, the module that holds every use of the FFmpeg libraries.
// Loading libavcodec and the hundred-odd libraries it pulls in costs more than measuring dozens of
// files, and most files never need it (MP4 and MOV are read by iso_media_header), so the module
// is loaded at the first file that does.
struct LibavModule {
    // Reads the open file from its start, as media_probe.h describes; `name` guides the format
    // probe by its extension and, with quickDemuxer, names the demuxer to try first.
    LibavReading (*read)(int fd, const char* name, const ProbeBudget& budget, std::stop_token stop,
                         bool quickDemuxer);
    // Whether libavformat gives a MOV sample description (its handler "vide" or "soun" and its
    // code, both as the bytes read big-endian) a codec, not a still image, that a decoder plays.
    bool (*movCodecPlays)(std::uint32_t handler, std::uint32_t sampleEntry);
    // Whether libavcodec has the decoder of that name.
    bool (*hasDecoder)(const char* name);
};

// The module, loaded once, from $QUILLMARK_LIBAV_MODULE, else beside the executable, else where
// the package installs it; nothing when it cannot be loaded (then ffprobe measures every file).
// Safe to call from several threads at once.
const LibavModule* libavModule();

} // namespace quillmark
