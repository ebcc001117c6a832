#pragma once

#include <filesystem>
#include <optional>
#include <stop_token>

namespace quillmark {

// What the media libraries say of one file, without judging it.
struct MediaProbe {
    // At least one audio or video stream, other than cover art, that a decoder can play.
    bool playable = false;
    // The container's duration, else its longest stream's; absent when neither is known.
    std::optional<double> seconds;
};

// Opens the file with libavformat and reads only what its container needs to state the streams
// and the duration; frames are never decoded. Returns nothing when the file cannot be opened as
// media. Safe to call from several threads at once; silent; a stop request abandons the reading.
std::optional<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop = {});

} // namespace quillmark
