#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <stop_token>

namespace quillmark {

// What the media libraries say of one file, without judging it.
struct MediaProbe {
    // At least one audio or video stream, other than cover art, that a decoder can play.
    bool playable = false;
    // The container's duration, else its longest stream's; absent when neither is known.
    std::optional<double> seconds;
};

// How much a probe may read and how long it may take: far more than a real file needs (its
// header and index, not its payload), far less than a crafted one can ask for (a sparse file of
// a hundred gigabytes that is read to its end).
struct ProbeBudget {
    std::int64_t bytes = 128LL * 1024 * 1024;
    std::chrono::milliseconds time{20000};
};

// A probe that spent its budget without finding the duration; the message says so.
class MeasuringLimitReached : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The containers a file may be read as: those that only ever read themselves. Playlists,
// concatenation scripts, image sequences and manifests, which open other files or URLs (a FIFO
// beside them, a film outside the folder), are not among them. In libavformat's list form.
inline constexpr char selfContainedFormats[] =
    "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,avi,flv,asf,mpegts,mpeg,ogg,rm,nut,mxf,dv,ivf,mp3,aac,"
    "flac,wav,w64";

// Reads only what the file's container needs to state the streams and the duration: an MP4 or
// MOV file's headers (iso_media_header.h), else what libavformat reads to open it (through
// libav_module.h); frames are never decoded. Returns nothing when the file cannot be opened as
// media or libavformat is not there; throws MeasuringLimitReached when the budget runs out first.
// Nothing but the file itself is ever opened. Safe to call from several threads at once; silent; a
// stop request abandons the reading.
std::optional<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop = {},
                                     const ProbeBudget& budget = {});

// The same, read by libavformat alone and by content, as the quick ways must agree with: before
// it, probeMedia asks the header reader of MP4 and MOV files (iso_media_header.h), then opens
// Matroska and AVI files with the demuxer their extension names.
std::optional<MediaProbe> probeWithLibav(const std::filesystem::path& file,
                                         std::stop_token stop = {}, const ProbeBudget& budget = {});

} // namespace quillmark
