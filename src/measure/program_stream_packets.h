#pragma once

#include "measure/header_window.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmark {

// MPEG program streams as libavformat's demuxer reads them: the probe that takes a file for one,
// the packets it finds, and the probe of a video stream's first payload.

// Stream numbers as the demuxer gives them: MPEG audio and video by their start codes, AC-3 of
// private stream 1 by the number in its payload, DVD navigation (private stream 2).
constexpr bool isMpegAudioStream(std::uint32_t code)
{
    return code >= 0x1C0 && code <= 0x1DF;
}
constexpr bool isVideoStream(std::uint32_t code)
{
    return code >= 0x1E0 && code <= 0x1EF;
}
constexpr bool isAc3Stream(std::uint32_t code)
{
    return code >= 0x80 && code <= 0x87;
}
constexpr std::uint32_t navigationCode = 0x1BF;
constexpr std::int64_t presentationInfoBytes = 980; // a DVD navigation pack's PCI
constexpr std::int64_t searchInfoBytes = 1018;      // and its DSI

// The score libavformat's program stream probe gives the file's first bytes.
int programStreamScore(HeaderWindow& file, std::int64_t size);

// A PES packet of an audio or video stream as the demuxer hands it out.
struct ProgramStreamPacket {
    std::uint32_t code = 0;
    std::int64_t position = 0;
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    std::int64_t payloadAt = 0;
    std::int64_t size = 0;
};

// What the demuxer concludes from the first navigation packet (private stream 2) it reads, and
// keeps for the rest of the file: whether such packets are a DVD's, which it hands out as a data
// stream, or are skipped.
struct NavigationKind {
    bool known = false;
    bool dvd = false;
};

// The packets of audio and video streams from an offset, found as libavformat's demuxer finds
// them: the next start code, whatever lies between; packs and system headers read through for
// start codes, padding skipped by its length, a PES header it cannot read searched past.
class ProgramStreamPackets {
public:
    ProgramStreamPackets(HeaderWindow& file, std::int64_t offset, NavigationKind& navigation)
        : m_file(file)
        , m_at(offset)
        , m_navigation(navigation)
    {
    }

    // The next packet; nothing at the end of the file. Throws HeaderDeclined where the demuxer
    // would take a way the reader does not follow.
    std::optional<ProgramStreamPacket> next();

private:
    ProgramStreamPacket privatePayload(ProgramStreamPacket packet);
    ProgramStreamPacket whole(const ProgramStreamPacket& packet);
    bool isNavigation();
    static bool plausibleDvdNavigation(const std::vector<std::uint8_t>& bytes);
    std::optional<std::uint32_t> nextStartCode();
    std::uint8_t next8();
    std::int64_t word();
    std::int64_t timestamp(std::uint8_t first);
    std::optional<ProgramStreamPacket> header(std::uint32_t code);

    HeaderWindow& m_file;
    std::int64_t m_at;
    NavigationKind& m_navigation;
};

// libavformat's probe of a video stream's first payload takes it for MPEG video when the payload
// starts with a sequence header and holds a picture and its first slices in order. Payloads that
// another probe (H.263, VC-1, AVS) might claim as well are declined.
void requireMpegVideo(std::span<const std::uint8_t> payload);

} // namespace quillmark
