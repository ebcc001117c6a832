#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>

namespace quillmark {

// The duration of an MPEG program stream of MPEG-1 or MPEG-2 video and MPEG audio or AC-3, as
// libavformat gives it: its short analysis parses the streams until one gives its fourth frame,
// and each stream that gave a frame by then lasts from its first frame to the end of the last
// packet in the file's last 250,000 bytes (500,000 when a stream has none there), the streams
// combined from the earliest start, or a DVD's navigation where it starts just before, to the
// latest end. Nothing when the file is not that common case (LPCM, DTS or subtitles in private
// streams, a stream map, field pictures, timestamps that wrap or jump, frames whose boundaries or
// timestamps libavformat would guess its own way): libavformat then reads it.
std::optional<MediaProbe> readMpegPsHeader(HeaderWindow& file);

} // namespace quillmark
