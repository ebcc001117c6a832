#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmark {

// The packets of an MPEG transport stream, and the PES packets libavformat's demuxer puts
// together from them.
constexpr std::int64_t transportPacketBytes = 188;

int pidOf(const std::uint8_t* packet);
// Whether the packet starts a PES packet or a section.
bool startsUnit(const std::uint8_t* packet);
// The packet's payload, empty when it has none.
std::span<const std::uint8_t> payloadOf(const std::uint8_t* packet);

// A PES packet as libavformat's demuxer completes it, of the stream at an index of the PIDs
// followed.
struct PesPacket {
    std::size_t stream = 0;
    std::int64_t size = 0;
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    std::vector<std::uint8_t> payload;
};

// Puts PES packets together as libavformat does: a PES ends where the next one of its stream
// starts, or once it holds the length it states. Throws HeaderDeclined where libavformat would
// split or hold a packet its own way, or a PES header is not whole in the packet that starts it.
class PesAssembler {
public:
    PesAssembler(std::vector<int> pids, bool keepPayloads);

    std::optional<PesPacket> feed(const std::uint8_t* packet);
    // At the end of the file, the PES packets still open, by PID.
    std::optional<PesPacket> flush();

private:
    struct Assembly {
        bool open = false;
        std::int64_t expected = 0; // the payload a bounded PES states; 0 when unbounded
        PesPacket packet;
    };

    std::vector<int> m_pids;
    std::vector<Assembly> m_assemblies;
    bool m_keepPayloads;
};

} // namespace quillmark
