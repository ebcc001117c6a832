#include "measure/program_stream_packets.h"

#include "measure/mpeg_video_frames.h"

#include <algorithm>
#include <cstring>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

// How far libavformat's demuxer searches for the next start code at once.
constexpr std::int64_t longestSearch = 100000;
constexpr std::uint32_t packCode = 0x1BA;
constexpr std::uint32_t systemHeaderCode = 0x1BB;
constexpr std::uint32_t paddingCode = 0x1BE;
constexpr std::uint32_t privateCode = 0x1BD;
// The zeros after what libavformat probes, as many as its probes may read past the end.
constexpr std::size_t probePadding = 64;

// The bytes from an offset, followed by zeros as libavformat pads what it probes.
std::vector<std::uint8_t> padded(HeaderWindow& file, std::int64_t offset, std::int64_t length)
{
    std::vector<std::uint8_t> bytes = readSpan(file, offset, length);
    bytes.resize(bytes.size() + probePadding);
    return bytes;
}

// Whether a start code at `at` (its last byte) opens a plausible PES header, as the program
// stream probe checks it.
bool looksLikePes(const std::uint8_t* at, const std::uint8_t* end)
{
    const bool mpeg2 = (at[3] & 0xC0) == 0x80 && (at[4] & 0xC0) != 0x40 &&
                       ((at[4] & 0xC0) == 0x00 || (at[4] & 0xC0) >> 2 == (at[6] & 0xF0));
    for (at += 3; at < end && *at == 0xFF; ++at) {
    }
    if ((*at & 0xC0) == 0x40)
        at += 2;
    bool mpeg1 = false;
    if ((*at & 0xF0) == 0x20)
        mpeg1 = at[0] & at[2] & at[4] & 1;
    else if ((*at & 0xF0) == 0x30)
        mpeg1 = at[0] & at[2] & at[4] & at[5] & at[7] & at[9] & 1;
    else
        mpeg1 = *at == 0x0F;
    return mpeg1 || mpeg2;
}

} // namespace

int programStreamScore(HeaderWindow& file, std::int64_t size)
{
    const std::vector<std::uint8_t> bytes = padded(file, 0, size);
    std::uint32_t code = 0xFFFFFFFF;
    int system = 0, packs = 0, private1 = 0, video = 0, audio = 0, invalid = 0;
    std::int64_t pesEnd = 0;
    const std::uint8_t* const buffer = bytes.data();
    for (std::int64_t i = 0; i < size; ++i) {
        code = (code << 8) + buffer[i];
        if ((code & 0xFFFFFF00) != 0x100)
            continue;
        const int length = buffer[i + 1] << 8 | buffer[i + 2];
        const bool pes = pesEnd <= i && looksLikePes(buffer + i, buffer + size);
        const bool pack = (buffer[i + 1] & 0xC0) == 0x40 || (buffer[i + 1] & 0xF0) == 0x20;
        if (code == systemHeaderCode)
            ++system;
        else if (code == packCode && pack)
            ++packs;
        else if ((code & 0xF0) == 0xE0 && pes) {
            pesEnd = i + length;
            ++video;
        } else if ((code & 0xE0) == 0xC0 && pes) {
            ++audio;
            i += length;
        } else if (code == 0x1BD && pes) {
            ++private1;
            i += length;
        } else if (code == 0x1FD && pes)
            ++video;
        else if ((code & 0xF0) == 0xE0 || (code & 0xE0) == 0xC0 || code == 0x1BD)
            ++invalid;
    }
    if (system > invalid && system * 9 <= packs * 10)
        return audio > 12 || video > 3 || packs > 2 ? 52 : 25 + (audio + video + packs > 1);
    if (packs > invalid && (private1 + video + audio) * 10 >= packs * 9)
        return packs > 2 ? 52 : 25;
    return 0;
}

std::optional<ProgramStreamPacket> ProgramStreamPackets::next()
{
    for (;;) {
        const std::optional<std::uint32_t> code = nextStartCode();
        if (!code)
            return std::nullopt;
        const std::int64_t afterCode = m_at;
        if (*code == packCode || *code == systemHeaderCode)
            continue;
        if (*code == paddingCode) {
            m_at += word();
            continue;
        }
        if (*code == navigationCode) {
            if (!isNavigation())
                continue;
            ProgramStreamPacket packet{*code, m_at - 4, std::nullopt, std::nullopt, 0, 0};
            packet.size = word();
            packet.payloadAt = m_at;
            return whole(packet);
        }
        // Stream maps and extended streams each have a way of their own.
        if (*code == 0x1BC || *code == 0x1FD)
            throw Declined{};
        if (!isMpegAudioStream(*code) && !isVideoStream(*code) && *code != privateCode)
            continue;
        std::optional<ProgramStreamPacket> packet = header(*code);
        if (packet && packet->size >= 0 && *code == privateCode)
            packet = privatePayload(*packet);
        if (!packet)
            continue;
        if (packet->size < 0) {
            m_at = afterCode;
            continue;
        }
        return whole(*packet);
    }
}

// A private stream's packet, past the stream's number and, for audio, the count of frames
// and the pointer to the first: AC-3 only (on DVDs, 0x80 to 0x87); the rest (LPCM, DTS,
// subtitles, AC-3 without the private header) is declined.
ProgramStreamPacket ProgramStreamPackets::privatePayload(ProgramStreamPacket packet)
{
    const std::uint8_t number = next8();
    if (number < 0x80 || number > 0x87 || packet.size < 1 + 4)
        throw Declined{};
    packet.code = number;
    packet.size -= 4;
    m_at += 3;
    packet.payloadAt = m_at;
    return packet;
}

ProgramStreamPacket ProgramStreamPackets::whole(const ProgramStreamPacket& packet)
{
    if (packet.size == 0 || packet.payloadAt + packet.size > m_file.fileSize())
        throw Declined{};
    m_at = packet.payloadAt + packet.size;
    return packet;
}

// Whether the navigation packet at hand goes on as a DVD's; else it has been skipped. The
// first one decides, by whether it holds a plausible PCI or DSI; one that names Sofdec makes
// the demuxer take the audio for ADX, which is libavformat's to read.
bool ProgramStreamPackets::isNavigation()
{
    const std::int64_t length = word();
    if (!m_navigation.known) {
        if (m_at + length > m_file.fileSize())
            throw Declined{};
        const std::vector<std::uint8_t> bytes = readSpan(m_file, m_at, length);
        const auto s = std::find(bytes.begin(), bytes.end() - std::min<std::int64_t>(length, 5),
                                 std::uint8_t('S'));
        if (length >= 6 && s != bytes.end() - 5 && std::memcmp(&*s + 1, "ofdec", 5) == 0)
            throw Declined{};
        m_navigation = {true, plausibleDvdNavigation(bytes)};
    }
    if (m_navigation.dvd) {
        m_at -= 2;
        return true;
    }
    m_at += length;
    return false;
}

bool ProgramStreamPackets::plausibleDvdNavigation(const std::vector<std::uint8_t>& bytes)
{
    // A time of day in BCD, as a PCI or a DSI has it.
    const auto plausibleTime = [&bytes](std::size_t at) {
        for (std::size_t i = 0; i < 3; ++i) {
            const int high = bytes[at + i] >> 4;
            const int low = bytes[at + i] & 0x0F;
            if (low >= 10 || high * 10 + low > (i == 0 ? 23 : 59))
                return false;
        }
        return true;
    };
    if (std::int64_t(bytes.size()) == presentationInfoBytes && bytes[0] == 0)
        return plausibleTime(0x19) &&
               bigEndian<std::uint32_t>(&bytes[0x11]) >= bigEndian<std::uint32_t>(&bytes[0x0D]);
    if (std::int64_t(bytes.size()) == searchInfoBytes && bytes[0] == 1)
        return plausibleTime(0x1D);
    return false;
}

std::optional<std::uint32_t> ProgramStreamPackets::nextStartCode()
{
    std::uint32_t state = 0xFF;
    for (std::int64_t searched = 0; searched < longestSearch; ++searched) {
        if (m_at >= m_file.fileSize())
            return std::nullopt;
        const std::uint32_t byte = next8();
        const bool found = state == 1;
        state = (state << 8 | byte) & 0xFFFFFF;
        if (found)
            return state;
    }
    throw Declined{};
}

std::uint8_t ProgramStreamPackets::next8()
{
    return *m_file.bytes(m_at++, 1);
}

std::int64_t ProgramStreamPackets::word()
{
    const std::int64_t value = bigEndian<std::uint16_t>(m_file.bytes(m_at, 2));
    m_at += 2;
    return value;
}

std::int64_t ProgramStreamPackets::timestamp(std::uint8_t first)
{
    const std::uint8_t* rest = m_file.bytes(m_at, 4);
    m_at += 4;
    return std::int64_t(first >> 1 & 7) << 30 |
           std::int64_t(bigEndian<std::uint16_t>(rest) >> 1) << 15 |
           bigEndian<std::uint16_t>(rest + 2) >> 1;
}

// The PES header after a stream's start code; nothing where the demuxer would search again
// from the start code (a size below zero) or from where it stopped reading (no packet).
std::optional<ProgramStreamPacket> ProgramStreamPackets::header(std::uint32_t code)
{
    ProgramStreamPacket packet{code, m_at - 4, std::nullopt, std::nullopt, 0, 0};
    std::int64_t length = word();
    int c = 0;
    do {
        if (length < 1)
            return ProgramStreamPacket{code, 0, std::nullopt, std::nullopt, 0, -1};
        c = next8();
        --length;
    } while (c == 0xFF);
    if ((c & 0xC0) == 0x40) {
        ++m_at;
        c = next8();
        length -= 2;
    }
    if ((c & 0xE0) == 0x20) {
        packet.pts = packet.dts = timestamp(std::uint8_t(c));
        length -= 4;
        if (c & 0x10) {
            packet.dts = timestamp(next8());
            length -= 5;
        }
    } else if ((c & 0xC0) == 0x80) {
        int flags = next8();
        std::int64_t headerLength = next8();
        length -= 2;
        if (headerLength > length)
            return ProgramStreamPacket{code, 0, std::nullopt, std::nullopt, 0, -1};
        length -= headerLength;
        if (flags & 0x80) {
            packet.pts = packet.dts = timestamp(next8());
            headerLength -= 5;
            if (flags & 0x40) {
                packet.dts = timestamp(next8());
                headerLength -= 5;
            }
        }
        if ((flags & 0x3F) && headerLength == 0)
            flags &= 0xC0;
        if (flags & 0x01) {
            // A PES extension: its private data, sequence counter and buffer size skipped.
            const int extension = next8();
            --headerLength;
            int skipped = extension >> 4 & 0x0B;
            skipped += skipped & 0x09;
            if ((extension & 0x40) || skipped > headerLength)
                throw Declined{};
            m_at += skipped;
            headerLength -= skipped;
            if (extension & 0x01)
                throw Declined{}; // a second extension, which may rename the stream
        }
        if (headerLength < 0)
            return ProgramStreamPacket{code, 0, std::nullopt, std::nullopt, 0, -1};
        m_at += headerLength;
    } else if (c != 0x0F) {
        return std::nullopt;
    }
    packet.payloadAt = m_at;
    packet.size = length;
    return packet;
}

void requireMpegVideo(std::span<const std::uint8_t> payload)
{
    std::vector<std::uint8_t> bytes(payload.begin(), payload.end());
    bytes.resize(bytes.size() + probePadding);
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + payload.size();
    if (payload.size() < 8 || std::memcmp(at, "\0\0\1\xB3", 4) != 0)
        throw Declined{};
    for (const std::uint8_t* p = at; p + 4 < end; ++p) {
        if (p[0] == 0 && p[1] == 0 &&
            ((p[2] & 0xFC) == 0x80 || (p[2] == 1 && (p[3] == 0xB0 || p[3] == 0xB6)) ||
             (p[2] == 1 && p[3] == 0x0F && p[4] >= 0xC0)))
            throw Declined{};
    }
    std::uint32_t code = 0xFFFFFFFF;
    std::uint32_t last = 0;
    int pictures = 0, sequences = 0, slices = 0, disordered = 0, others = 0;
    while (at < end) {
        at = findMpegStartCode(at, end, code);
        if ((code & 0xFFFFFF00) != 0x100)
            continue;
        if (code == 0x1B3) {
            // A sequence header counts with its marker bit set, after its quantiser matrices.
            int skip = -1;
            if (at[6] & 0x20) {
                skip += at[7] & 2 ? 64 : 0;
                if (skip < end - at) {
                    skip += at[skip + 8] & 1 ? 64 : 0;
                    if (skip < end - at && !(bigEndian<std::uint32_t>(at + skip + 9, 3) & 0xFFFFFE))
                        ++sequences;
                }
            }
        } else if (code == 0x100) {
            ++pictures;
        } else if (code >= 0x101 && code <= 0x1AF) {
            const bool ascending = last >= 0x101 && last <= 0x1AF ? code >= last : code == 0x101;
            ++(ascending ? slices : disordered);
        } else if (code == 0x1BA || (code & 0x1F0) == 0x1E0 || (code & 0x1E0) == 0x1C0) {
            ++others;
        }
        last = code;
    }
    if (!sequences || sequences * 9 > pictures * 10 || pictures * 9 > slices * 10 || others ||
        slices <= disordered)
        throw Declined{};
}

} // namespace quillmark
