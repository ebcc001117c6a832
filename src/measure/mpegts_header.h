#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>

namespace quillmark {

// The duration of an MPEG transport stream of H.264 or MPEG-2 video and AAC or MPEG audio, as
// libavformat gives it: its short analysis reads until some stream's fourth frame, and each stream
// that gave a frame by then lasts from its first frame to the end of the last frame in the file's
// last 250,000 bytes (500,000 when a stream has none there), the streams combined from the
// earliest start to the latest end. Nothing when the file is not that common case (more than one
// program, other streams, packets of another size, timestamps that wrap or jump, video without
// its frame rate, payloads that do not hold whole frames): libavformat then reads it.
std::optional<MediaProbe> readMpegTsHeader(HeaderWindow& file);

} // namespace quillmark
