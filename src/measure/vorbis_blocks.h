#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quillmark {

// The block sizes of a Vorbis stream, from which libavformat times its first packets: the two
// sizes of its identification header and, for each mode of its setup header, whether the mode's
// blocks are long.
class VorbisBlocks {
public:
    // From the identification and setup headers, found as libavcodec's Vorbis parser finds them
    // (the modes read backwards from the end of the setup header); throws HeaderDeclined where
    // the parser would fail.
    VorbisBlocks(std::span<const std::uint8_t> identification, std::span<const std::uint8_t> setup);

    // The samples a packet adds, as the parser counts them from its first byte after the packets
    // before it; the first of a page is counted after a short block. Throws HeaderDeclined for a
    // packet the parser refuses.
    int samples(std::uint8_t firstByte);
    void restart() { m_previous = m_sizes[0]; }

private:
    int m_sizes[2] = {0, 0};
    std::vector<bool> m_longModes;
    int m_modeMask = 0;
    int m_previousMask = 0;
    int m_previous = 0;
};

} // namespace quillmark
