#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <optional>
#include <span>
#include <string_view>

namespace quillmark {

// An FLV codec (the number in a tag's first byte) that libavformat maps to a codec libavcodec
// decodes itself.
using FlvCodec = KnownCodec<int>;
std::span<const FlvCodec> flvVideoCodecs();
std::span<const FlvCodec> flvAudioCodecs();

// The duration and playability of an FLV file, as libavformat gives them: the duration its
// onMetaData states, and a stream that plays when the first audio or video tag after it is of a
// codec libavcodec decodes. Nothing when the file is not that common case (no stated duration,
// values the reader does not know, tags whose sizes disagree, another script first): libavformat
// then reads it.
std::optional<MediaProbe> readFlvHeader(HeaderWindow& file);

} // namespace quillmark
