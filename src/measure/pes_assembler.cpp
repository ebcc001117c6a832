#include "measure/pes_assembler.h"

#include "measure/header_window.h"

#include <algorithm>

namespace quillmark {

namespace {

// libavformat splits a PES payload larger than 204,800 bytes; the reader declines before.
constexpr std::int64_t largestPayload = 200000;

std::int64_t timestampAt(const std::uint8_t* bytes)
{
    return std::int64_t(bytes[0] >> 1 & 7) << 30 | std::int64_t(bytes[1]) << 22 |
           std::int64_t(bytes[2] >> 1) << 15 | std::int64_t(bytes[3]) << 7 | bytes[4] >> 1;
}

} // namespace

int pidOf(const std::uint8_t* packet)
{
    return (packet[1] & 0x1F) << 8 | packet[2];
}

bool startsUnit(const std::uint8_t* packet)
{
    return packet[1] & 0x40;
}

std::span<const std::uint8_t> payloadOf(const std::uint8_t* packet)
{
    const int control = packet[3] >> 4 & 3;
    if (!(control & 1))
        return {};
    const std::int64_t at = 4 + (control & 2 ? 1 + packet[4] : 0);
    if (at >= transportPacketBytes)
        return {};
    return {packet + at, std::size_t(transportPacketBytes - at)};
}

PesAssembler::PesAssembler(std::vector<int> pids, bool keepPayloads)
    : m_pids(std::move(pids))
    , m_assemblies(m_pids.size())
    , m_keepPayloads(keepPayloads)
{
}

std::optional<PesPacket> PesAssembler::feed(const std::uint8_t* packet)
{
    const auto pid = std::find(m_pids.begin(), m_pids.end(), pidOf(packet));
    if (pid == m_pids.end())
        return std::nullopt;
    Assembly& assembly = m_assemblies[std::size_t(pid - m_pids.begin())];
    std::span<const std::uint8_t> payload = payloadOf(packet);
    if (payload.empty())
        return std::nullopt;
    std::optional<PesPacket> completed;
    if (startsUnit(packet)) {
        if (assembly.open && assembly.packet.size > 0)
            completed = std::move(assembly.packet);
        assembly = Assembly{};
        assembly.packet.stream = std::size_t(pid - m_pids.begin());
        // The PES header: the rest of the packet is payload.
        if (payload.size() < 9 || payload[0] != 0 || payload[1] != 0 || payload[2] != 1 ||
            payload[3] < 0xC0 || payload[3] > 0xEF)
            throw HeaderDeclined{};
        const std::size_t headerBytes = 9 + std::size_t(payload[8]);
        const int flags = payload[7] >> 6;
        if (headerBytes > payload.size() || (flags & 2 && headerBytes < 14) ||
            (flags == 3 && headerBytes < 19))
            throw HeaderDeclined{};
        if (flags & 2)
            assembly.packet.pts = timestampAt(&payload[9]);
        if (flags == 3)
            assembly.packet.dts = timestampAt(&payload[14]);
        const std::int64_t stated = bigEndian<std::uint16_t>(&payload[4]);
        if (stated != 0 && stated + 6 < std::int64_t(headerBytes))
            throw HeaderDeclined{};
        assembly.expected = stated == 0 ? 0 : stated + 6 - std::int64_t(headerBytes);
        assembly.open = true;
        payload = payload.subspan(headerBytes);
    } else if (!assembly.open) {
        return std::nullopt;
    }
    const std::int64_t size = assembly.packet.size + std::int64_t(payload.size());
    if ((assembly.expected != 0 && size > assembly.expected) || size > largestPayload)
        throw HeaderDeclined{};
    assembly.packet.size = size;
    if (m_keepPayloads)
        assembly.packet.payload.insert(assembly.packet.payload.end(), payload.begin(),
                                       payload.end());
    if (assembly.expected != 0 && size == assembly.expected) {
        if (completed)
            throw HeaderDeclined{}; // libavformat would hand it over later
        assembly.open = false;
        completed = std::move(assembly.packet);
    }
    return completed;
}

std::optional<PesPacket> PesAssembler::flush()
{
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < m_pids.size(); ++i) {
        if (m_assemblies[i].open && m_assemblies[i].packet.size > 0 &&
            (!first || m_pids[i] < m_pids[*first]))
            first = i;
    }
    if (!first)
        return std::nullopt;
    m_assemblies[*first].open = false;
    return std::move(m_assemblies[*first].packet);
}

} // namespace quillmark
