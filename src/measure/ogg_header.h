#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>

namespace quillmark {

// The duration of an Ogg file of Theora, Vorbis and Opus streams, as libavformat gives it: each
// stream's last granule position in the file's last 65,307 bytes, less the start its first data
// page implies (for Opus, not less), the streams combined from the earliest start to the latest
// end. Nothing when the file is not that common case (other codecs, a skeleton, chained streams,
// cover pictures, headers that share a page with data, a checksum that fails where it counts):
// libavformat then reads it.
std::optional<MediaProbe> readOggHeader(HeaderWindow& file);

} // namespace quillmark
