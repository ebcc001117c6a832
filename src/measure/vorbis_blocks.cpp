#include "measure/vorbis_blocks.h"

#include "measure/header_window.h"

#include <bit>
#include <cstring>

namespace quillmark {

namespace {

// Reads a packet backwards, one bit at a time from its last byte's most significant bit: Vorbis
// packs fields from the least significant bit, so a field read this way comes out whole.
class BackwardBits {
public:
    explicit BackwardBits(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    std::int64_t left() const { return std::int64_t(m_bytes.size()) * 8 - m_read; }
    std::int64_t read() const { return m_read; }
    void skip(std::int64_t bits) { m_read += bits; }
    std::uint32_t take(int bits)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bits; ++i, ++m_read) {
            const std::uint8_t byte = m_bytes[m_bytes.size() - 1 - std::size_t(m_read / 8)];
            value = value << 1 | (byte >> (7 - m_read % 8) & 1);
        }
        return value;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::int64_t m_read = 0;
};

bool isHeader(std::span<const std::uint8_t> packet, std::uint8_t type)
{
    return packet.size() >= 7 && packet[0] == type && std::memcmp(&packet[1], "vorbis", 6) == 0;
}

// A mode's fields, read backwards: mapping (8 bits), transform type (16), window type (16),
// then its block flag.
constexpr int modeFieldBits = 40;
// Bits the parser wants left before it reads another bit of the setup header.
constexpr std::int64_t leastBitsLeft = 97;
constexpr int mostModes = 63;

} // namespace

VorbisBlocks::VorbisBlocks(std::span<const std::uint8_t> identification,
                           std::span<const std::uint8_t> setup)
{
    if (identification.size() < 30 || !isHeader(identification, 1) || !(identification[29] & 1))
        throw HeaderDeclined{};
    m_sizes[0] = 1 << (identification[28] & 0x0F);
    m_sizes[1] = 1 << (identification[28] >> 4);
    if (!isHeader(setup, 5))
        throw HeaderDeclined{};

    BackwardBits bits(setup);
    std::int64_t framingBit = 0;
    while (bits.left() > leastBitsLeft) {
        if (bits.take(1)) {
            framingBit = bits.read();
            break;
        }
    }
    if (framingBit == 0)
        throw HeaderDeclined{};
    // The mode count is not where the parser can find it for sure: it takes the last count that
    // matches the modes read so far.
    int modes = 0;
    int modeCount = 0;
    while (bits.left() >= leastBitsLeft) {
        if (bits.take(8) > 63 || bits.take(16) != 0 || bits.take(16) != 0)
            break;
        bits.skip(1);
        if (++modes > 64)
            break;
        BackwardBits ahead = bits;
        if (int(ahead.take(6)) + 1 == modes)
            modeCount = modes;
    }
    if (modeCount == 0 || modeCount > mostModes)
        throw HeaderDeclined{};

    BackwardBits flags(setup);
    flags.skip(framingBit);
    m_longModes.assign(std::size_t(modeCount), false);
    for (int mode = modeCount - 1; mode >= 0; --mode) {
        flags.skip(modeFieldBits);
        m_longModes[std::size_t(mode)] = flags.take(1) != 0;
    }
    // One mode of long blocks of another size than the short: where the parser then finds the
    // previous window's flag was never seen on a file, so such a stream is left to libavformat.
    if (modeCount == 1 && m_longModes[0] && m_sizes[0] != m_sizes[1])
        throw HeaderDeclined{};
    m_modeMask = ((1 << std::bit_width(unsigned(modeCount - 1))) - 1) << 1;
    if (modeCount == 1)
        m_modeMask = 2;
    m_previousMask = (m_modeMask | 1) + 1;
    restart();
}

int VorbisBlocks::samples(std::uint8_t firstByte)
{
    if (firstByte & 1)
        throw HeaderDeclined{}; // a header where audio belongs
    const std::size_t mode =
        m_longModes.size() == 1 ? 0 : std::size_t((firstByte & m_modeMask) >> 1);
    if (mode >= m_longModes.size())
        throw HeaderDeclined{};
    int previous = m_previous;
    if (m_longModes[mode])
        previous = m_sizes[(firstByte & m_previousMask) != 0];
    const int current = m_sizes[m_longModes[mode]];
    m_previous = current;
    return (previous + current) >> 2;
}

} // namespace quillmark
