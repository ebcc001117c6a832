#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <cstdint>
#include <optional>
#include <span>

namespace quillmark {

// The duration and playability of an MP4, MOV, M4V, M4A, 3GP or F4V file, read from its movie
// header and its tracks' descriptions with a handful of positioned reads. The sample tables,
// megabytes in a feature-length film, are skipped: libavformat reads them whole to build an
// index that the duration does not need. Gives exactly what probeMedia's libavformat reading
// gives, or nothing whenever the file is not the common case it knows for sure (fragmented, no
// movie duration, chapters, several sample descriptions, an unknown or image-only codec, a box
// that does not fit): libavformat then reads it as before.
// The sample-description codes (as read big-endian) of the handler "vide" or "soun" that are
// taken as playable without loading libavcodec: codecs it decodes itself, in every build. Any
// other code is asked of libavformat and libavcodec.
std::span<const std::uint32_t> codesPlayableEverywhere(std::uint32_t handler);

std::optional<MediaProbe> readIsoMediaHeader(HeaderWindow& file);

} // namespace quillmark
