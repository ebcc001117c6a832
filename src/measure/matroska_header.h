#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>
#include <span>
#include <string_view>

namespace quillmark {

// A Matroska codec ID that libavformat maps to a codec libavcodec decodes itself, in every build.
using MatroskaCodec = KnownCodec<std::string_view>;

// The codec IDs the reader takes as playable: video ones on video tracks, audio on audio.
std::span<const MatroskaCodec> matroskaVideoCodecs();
std::span<const MatroskaCodec> matroskaAudioCodecs();

// The duration and playability of a Matroska or WebM file, read from its EBML header and the
// segment's Info and Tracks, which sit before the first cluster: one request for a usual file.
// Gives exactly what libavformat gives, or nothing when the file is not the common case it knows
// for sure (no duration, an unknown codec, encoded tracks, Info or Tracks after the clusters,
// header versions beyond the common, sizes that do not fit): libavformat then reads it.
std::optional<MediaProbe> readMatroskaHeader(HeaderWindow& file);

} // namespace quillmark
