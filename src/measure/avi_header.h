#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>
#include <span>
#include <string_view>

namespace quillmark {

// An AVI codec, as a video stream's format fourcc or an audio stream's format tag, that
// libavformat maps to a codec libavcodec decodes itself.
using AviCodec = KnownCodec<std::uint32_t>;
std::span<const AviCodec> aviVideoCodecs();
std::span<const AviCodec> aviAudioCodecs();

// The duration and playability of an AVI file, as libavformat gives them from its header: the
// longest stream whose length the stream header states in frames (video, and audio of no fixed
// sample size), at the stream's time base. Nothing when the file is not that common case (an
// OpenDML index, a truncated file, a stream that does not start at zero, codecs the reader does
// not know, odd or oversized chunks): libavformat then reads it.
std::optional<MediaProbe> readAviHeader(HeaderWindow& file);

} // namespace quillmark
