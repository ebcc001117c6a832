#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"
#include "measure/wave_format.h"

#include <optional>
#include <span>

namespace quillmark {

// An ASF video codec, as its fourcc, that libavformat maps to a codec libavcodec decodes itself
// without reordering frames; the audio codecs are format tags.
using AsfCodec = KnownCodec<std::uint32_t>;
std::span<const AsfCodec> asfVideoCodecs();
std::span<const WaveCodec> asfAudioCodecs();

// The duration and playability of an ASF file (WMV, WMA), as libavformat gives them: the play
// time its file properties state, less the preroll, plus the spread between the first packets of
// the streams libavformat's short analysis reads. Nothing when the file is not that common case
// (a broadcast or truncated file, codecs the reader does not know, streams that begin where the
// analysis may already have stopped, packets it does not follow): libavformat then reads it.
std::optional<MediaProbe> readAsfHeader(HeaderWindow& file);

} // namespace quillmark
