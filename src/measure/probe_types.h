#pragma once

// What a probe reads and gives, shared with the libav module and the header readers, which hold
// no Qt.

#include <chrono>
#include <cstdint>
#include <optional>

namespace quillmark {

// What the media libraries say of one file, without judging it.
struct MediaProbe {
    // At least one audio or video stream, other than cover art, that a decoder can play.
    bool playable = false;
    // The container's duration, else its longest stream's; absent when neither is known.
    std::optional<double> seconds;

    friend bool operator==(const MediaProbe&, const MediaProbe&) = default;
};

// How much a probe may read and how long it may take: far more than a real file needs (its
// header and index, not its payload), far less than a crafted one can ask for (a sparse file of
// a hundred gigabytes that is read to its end).
struct ProbeBudget {
    std::int64_t bytes = 128LL * 1024 * 1024;
    std::chrono::milliseconds time{20000};
};

// The containers a file may be read as: those that only ever read themselves. Playlists,
// concatenation scripts, image sequences and manifests, which open other files or URLs (a FIFO
// beside them, a film outside the folder), are not among them. In libavformat's list form.
inline constexpr char selfContainedFormats[] =
    "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,avi,flv,asf,mpegts,mpeg,ogg,rm,nut,mxf,dv,ivf,mp3,aac,"
    "flac,wav,w64";

} // namespace quillmark
