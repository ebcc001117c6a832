// The header readers against libavformat on the same bytes: seed files mutated at random (bytes
// changed, a 32-bit field rewritten, a box or element copied elsewhere, the file cut), each
// mutant read by both. Wherever a reader answers, libavformat must give the same answer, unless
// the difference comes from where the readers never look (the sample tables, the user data, the
// media data, Matroska's clusters, cues and seek index and anything after Info and Tracks, FLV's
// tags after the first frame, AVI's movie data and index, what follows ASF's data, MPEG-TS and
// MPEG-PS packets between the analysis and the last 500,000 bytes): the changes
// elsewhere, made alone, leave the two agreeing. Ogg mutants mostly have their pages' checksums
// made right again, so that the change is read rather than skipped as damage. That is
// the readers' documented difference; any other is written out and fails the run. Built and run
// by "make fuzz". Usage: differential_fuzz [--seed N] RUNS OUTPUT-FOLDER SEED-FILE...
#include "measure/crc32.h"
#include "measure/header_readers.h"
#include "measure/libav_module.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace quillmark;
using Bytes = std::string;

std::uint32_t bigEndian32(const Bytes& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

// The nested regions of a file as the readers and libavformat see them, each named by its type:
// "moov/trak/mdia/minf/stbl/stsz", "Segment/Tracks/TrackEntry".
struct Region {
    std::size_t begin, end;
    std::string path;
};

// MP4: the boxes inside the usual containers.
void isoRegions(const Bytes& bytes, std::size_t begin, std::size_t end, const std::string& path,
                int depth, std::vector<Region>& regions)
{
    static const std::map<std::string, std::size_t> containers{
        {"moov", 0}, {"trak", 0}, {"mdia", 0}, {"minf", 0}, {"stbl", 0}, {"dinf", 0},
        {"udta", 0}, {"edts", 0}, {"mvex", 0}, {"meta", 4}, {"ilst", 0}, {"stsd", 8}};
    for (std::size_t at = begin; depth < 12 && end - at >= 8 && at < end;) {
        std::uint64_t size = bigEndian32(bytes, at);
        if (size == 1 && end - at >= 16)
            size = std::uint64_t(bigEndian32(bytes, at + 8)) << 32 | bigEndian32(bytes, at + 12);
        if (size == 0)
            size = end - at;
        if (size < 8 || size > end - at)
            return;
        const std::string type = bytes.substr(at + 4, 4);
        const std::string inner = path.empty() ? type : path + "/" + type;
        regions.push_back({at, at + size, inner});
        if (const auto found = containers.find(type); found != containers.end())
            isoRegions(bytes, at + 8 + found->second, at + size, inner, depth + 1, regions);
        at += size;
    }
}

std::optional<std::uint64_t> ebmlNumber(const Bytes& bytes, std::size_t at, bool keepMarker,
                                        std::size_t& length)
{
    if (at >= bytes.size() || bytes[at] == 0)
        return std::nullopt;
    length = std::size_t(__builtin_clz(std::uint8_t(bytes[at])) - 23);
    if (at + length > bytes.size())
        return std::nullopt;
    std::uint64_t value =
        keepMarker ? std::uint8_t(bytes[at]) : std::uint8_t(bytes[at]) & (0xFF >> length);
    for (std::size_t i = 1; i < length; ++i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

// Matroska: the elements of the segment, and inside the ones the readers read.
void ebmlRegions(const Bytes& bytes, std::size_t begin, std::size_t end, const std::string& path,
                 int depth, std::vector<Region>& regions)
{
    static const std::map<std::uint64_t, std::string> names{{0x1A45DFA3, "EBML"},
                                                            {0x18538067, "Segment"},
                                                            {0x114D9B74, "SeekHead"},
                                                            {0x1549A966, "Info"},
                                                            {0x1654AE6B, "Tracks"},
                                                            {0xAE, "TrackEntry"},
                                                            {0xE0, "Video"},
                                                            {0xE1, "Audio"},
                                                            {0x1F43B675, "Cluster"},
                                                            {0x1C53BB6B, "Cues"},
                                                            {0x1254C367, "Tags"},
                                                            {0x1043A770, "Chapters"},
                                                            {0x1941A469, "Attachments"},
                                                            {0xEC, "Void"}};
    bool readerDone = false; // after Info and Tracks, in the segment
    bool sawInfo = false, sawTracks = false;
    for (std::size_t at = begin; depth < 6 && at < end;) {
        std::size_t idLength = 0, sizeLength = 0;
        const auto id = ebmlNumber(bytes, at, true, idLength);
        const auto size = id ? ebmlNumber(bytes, at + idLength, false, sizeLength) : std::nullopt;
        if (!size)
            return;
        const std::size_t payload = at + idLength + sizeLength;
        const bool unknown = *size == (std::uint64_t(1) << (7 * sizeLength)) - 1;
        const std::size_t stop =
            unknown || *size > end - std::min(payload, end) ? end : payload + std::size_t(*size);
        const auto name = names.find(*id);
        std::string inner = path.empty() ? "" : path + "/";
        inner +=
            readerDone ? "AfterInfoAndTracks" : (name != names.end() ? name->second : "Element");
        regions.push_back({at, stop, inner});
        if (name != names.end() && !readerDone &&
            (*id == 0x18538067 || *id == 0x1549A966 || *id == 0x1654AE6B || *id == 0xAE ||
             *id == 0xE0 || *id == 0xE1 || *id == 0x1A45DFA3))
            ebmlRegions(bytes, payload, stop, inner, depth + 1, regions);
        if (path == "Segment") {
            sawInfo = sawInfo || *id == 0x1549A966;
            sawTracks = sawTracks || *id == 0x1654AE6B;
            readerDone = sawInfo && sawTracks;
        }
        if (stop <= at)
            return;
        at = stop;
    }
}

// FLV: the header, then each tag; the reader reads the script and the first frame's first byte.
void flvRegions(const Bytes& bytes, std::vector<Region>& regions)
{
    regions.push_back({0, 13, "FlvHeader"});
    int frames = 0;
    for (std::size_t at = 13; bytes.size() - at >= 15;) {
        const std::size_t end = at + 11 + (bigEndian32(bytes, at) & 0xFFFFFF) + 4;
        const int type = std::uint8_t(bytes[at]);
        const bool frame = type == 8 || type == 9;
        regions.push_back({at, std::min(end, bytes.size()),
                           !frame          ? "ScriptTag"
                           : frames++ == 0 ? "FirstFrame"
                                           : "LaterTag"});
        at = end;
    }
}

// AVI: the chunks, lists named by their type: "hdrl/strl/strh", "movi".
void aviRegions(const Bytes& bytes, std::size_t begin, std::size_t end, const std::string& path,
                int depth, std::vector<Region>& regions)
{
    const auto little = [&bytes](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 4; i-- > 0;)
            value = value << 8 | std::uint8_t(bytes[at + i]);
        return value;
    };
    for (std::size_t at = begin; depth < 4 && end - at >= 8 && at < end;) {
        const std::size_t size = little(at + 4);
        const std::size_t stop = std::min(end, at + 8 + size + (size & 1));
        std::string name = bytes.substr(at, 4);
        const bool list = name == "LIST" && stop - at >= 12;
        if (list)
            name = bytes.substr(at + 8, 4);
        const std::string inner = path.empty() ? name : path + "/" + name;
        regions.push_back({at, stop, inner});
        // A stream header's scale, rate, start and length lie past where a field rewritten at
        // its start would land.
        if (name == "strh" && stop - at >= 8 + 36)
            regions.push_back({at + 8 + 20, at + 8 + 36, inner + "/Timing"});
        if (list && name != "movi")
            aviRegions(bytes, at + 12, stop, inner, depth + 1, regions);
        at = stop;
    }
}

// ASF: the header's objects as libavformat walks them (those of the header extension as if
// outside it), the data packets, all counted as read (the reader follows them as far as it
// needs), and what follows the data.
void asfRegions(const Bytes& bytes, std::vector<Region>& regions)
{
    const auto little64 = [&bytes](std::size_t at) {
        std::uint64_t value = 0;
        for (std::size_t i = 8; i-- > 0;)
            value = value << 8 | std::uint8_t(bytes[at + i]);
        return value;
    };
    static const std::map<std::string, std::string> names{
        {std::string("\xA1\xDC\xAB\x8C", 4), "FileProperties"},
        {std::string("\x91\x07\xDC\xB7", 4), "StreamProperties"},
        {std::string("\xB5\x03\xBF\x5F", 4), "HeaderExtension"},
        {std::string("\xCB\xA5\xE6\x14", 4), "ExtendedStreamProperties"},
        {std::string("\x36\x26\xB2\x75", 4), "Data"}};
    regions.push_back({0, 30, "Header"});
    for (std::size_t at = 30; bytes.size() - at >= 24 && at < bytes.size();) {
        const auto named = names.find(bytes.substr(at, 4));
        const std::string name = named == names.end() ? "Object" : named->second;
        const std::uint64_t size = little64(at + 16);
        if (size < 24 || size > bytes.size() - at)
            return;
        regions.push_back({at, at + std::size_t(size), name});
        // The fields past the first 24 bytes, where a field rewritten would not land otherwise:
        // the file's play time, preroll, flags and packet sizes; a stream's format.
        if (name == "FileProperties" && size >= 104)
            regions.push_back({at + 64, at + 104, "FileProperties/Times"});
        if (name == "StreamProperties" && size > 78)
            regions.push_back({at + 78, at + std::size_t(size), "StreamProperties/Format"});
        if (name == "HeaderExtension") {
            at += 46;
            continue;
        }
        if (name != "Data") {
            at += std::size_t(size);
            continue;
        }
        // The largest packet size of file properties that come first, as they do in real files.
        const std::uint32_t packetSize =
            bytes.size() >= 130 ? std::uint32_t(little64(30 + 24 + 72) & 0xFFFFFFFF) : 0;
        std::size_t packet = at + 50;
        for (; packetSize > 0 && packet + packetSize <= at + size; packet += packetSize)
            regions.push_back({packet, packet + packetSize, "Data/Packet"});
        regions.push_back({at + std::size_t(size), bytes.size(), "AfterData"});
        return;
    }
}

std::uint32_t little32(const Bytes& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

constexpr std::size_t oggPageHeader = 27;

// The end of the Ogg page at the offset, or 0 where none fits in the bytes.
std::size_t oggPageEnd(const Bytes& bytes, std::size_t at)
{
    if (bytes.size() - at < oggPageHeader || bytes.compare(at, 4, "OggS") != 0)
        return 0;
    const std::size_t segments = std::uint8_t(bytes[at + 26]);
    if (bytes.size() - at - oggPageHeader < segments)
        return 0;
    std::size_t end = at + oggPageHeader + segments;
    for (std::size_t i = 0; i < segments; ++i)
        end += std::uint8_t(bytes[at + oggPageHeader + i]);
    return end <= bytes.size() ? end : 0;
}

// Ogg: its pages, as the head (up to each stream's first page with a granule position), the last
// 65,307 bytes and the pages between; in each page its granule position, lacing and body.
void oggRegions(const Bytes& bytes, std::vector<Region>& regions)
{
    const std::size_t tail = bytes.size() > 65307 ? bytes.size() - 65307 : 0;
    std::map<std::uint32_t, bool> timed;
    std::size_t at = 0;
    for (std::size_t end; (end = oggPageEnd(bytes, at)) != 0; at = end) {
        const std::uint32_t serial = little32(bytes, at + 14);
        const bool granule = little32(bytes, at + 6) != 0 || little32(bytes, at + 10) != 0;
        const bool head = !timed[serial] || std::any_of(timed.begin(), timed.end(),
                                                        [](const auto& s) { return !s.second; });
        timed[serial] = timed[serial] || granule;
        const std::string name = end > tail ? "OggTail" : head ? "OggHead" : "OggMiddle";
        const std::size_t body = at + oggPageHeader + std::uint8_t(bytes[at + 26]);
        regions.push_back({at, end, name + "/Page"});
        regions.push_back({at + 6, at + 14, name + "/Page/Granule"});
        regions.push_back({at + 26, body, name + "/Page/Lacing"});
        regions.push_back({body, end, name + "/Page/Body"});
    }
}

// MPEG-TS: its packets, as the head (the first 64 KiB, where the analysis runs), the last 500,000
// bytes and the packets between; in each packet that starts a PES or section, its first bytes.
void transportRegions(const Bytes& bytes, std::vector<Region>& regions)
{
    const std::size_t tail = bytes.size() > 500000 ? bytes.size() - 500000 : 0;
    for (std::size_t at = 0; at + 188 <= bytes.size(); at += 188) {
        const std::string name = at >= tail ? "TsTail" : at < 65536 ? "TsHead" : "TsMiddle";
        regions.push_back({at, at + 188, name + "/Packet"});
        if (std::uint8_t(bytes[at + 1]) & 0x40)
            regions.push_back({at + 4, at + 32, name + "/Packet/Start"});
    }
}

// MPEG-PS: its packs and PES packets from the start code on, each with its header's first bytes
// as a region of their own.
void programStreamRegions(const Bytes& bytes, std::vector<Region>& regions)
{
    const std::size_t tail = bytes.size() > 500000 ? bytes.size() - 500000 : 0;
    for (std::size_t at = 0; at + 6 <= bytes.size();) {
        if (bytes.compare(at, 3, std::string("\0\0\1", 3)) != 0) {
            ++at;
            continue;
        }
        const auto code = std::uint8_t(bytes[at + 3]);
        const std::size_t length =
            code == 0xBA
                ? 14 + (std::uint8_t(bytes[at + 13 < bytes.size() ? at + 13 : at]) & 7)
                : 6 + (std::size_t(std::uint8_t(bytes[at + 4])) << 8 | std::uint8_t(bytes[at + 5]));
        const std::size_t end = std::min(bytes.size(), at + length);
        const std::string name = at >= tail ? "PsTail" : at < 65536 ? "PsHead" : "PsMiddle";
        const std::string kind = code == 0xBA ? "/Pack" : code >= 0xE0 ? "/Video" : "/Other";
        regions.push_back({at, end, name + kind});
        if (code != 0xBA)
            regions.push_back({at, std::min(end, at + 24), name + kind + "/Header"});
        at = end;
    }
}

// Every Ogg page found walking from the start, its checksum made right.
void fixOggChecksums(Bytes& bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = oggPageEnd(bytes, at);
        if (end == 0) {
            at = bytes.find("OggS", at + 1);
            continue;
        }
        std::fill(bytes.begin() + std::ptrdiff_t(at + 22), bytes.begin() + std::ptrdiff_t(at + 26),
                  0);
        const std::uint32_t crc =
            crc32({reinterpret_cast<const std::uint8_t*>(bytes.data()) + at, end - at}, 0);
        for (std::size_t i = 0; i < 4; ++i)
            bytes[at + 22 + i] = char(crc >> (8 * i));
        at = end;
    }
}

std::vector<Region> regionsOf(const Bytes& bytes)
{
    std::vector<Region> regions;
    if (bytes.starts_with("OggS"))
        oggRegions(bytes, regions);
    else if (bytes.size() >= 376 && bytes[0] == 0x47 && bytes[188] == 0x47)
        transportRegions(bytes, regions);
    else if (bytes.compare(0, 4, std::string("\0\0\1\xBA", 4)) == 0)
        programStreamRegions(bytes, regions);
    else if (bytes.compare(0, 4, "RIFF") == 0) {
        regions.push_back({0, 12, "RiffHeader"});
        aviRegions(bytes, 12, bytes.size(), "", 0, regions);
    } else if (bytes.compare(0, 3, "FLV") == 0)
        flvRegions(bytes, regions);
    else if (bytes.compare(0, 4, "\x30\x26\xB2\x75") == 0)
        asfRegions(bytes, regions);
    else if (bytes.size() >= 4 && bigEndian32(bytes, 0) == 0x1A45DFA3)
        ebmlRegions(bytes, 0, bytes.size(), "", 0, regions);
    else
        isoRegions(bytes, 0, bytes.size(), "", 0, regions);
    return regions;
}

// The innermost region holding the offset, in the original file.
std::string regionAt(const std::vector<Region>& regions, std::size_t offset)
{
    std::string found = "outside";
    std::size_t smallest = SIZE_MAX;
    for (const Region& region : regions) {
        if (offset >= region.begin && offset < region.end && region.end - region.begin < smallest) {
            smallest = region.end - region.begin;
            found = region.path;
        }
    }
    return found;
}

// The innermost region the offset lies strictly inside, where an element put there lands; put
// before an element the readers skip, it is taken as part of that stretch ("after Info and
// Tracks").
std::string enclosingAt(const std::vector<Region>& regions, std::size_t offset)
{
    std::string found = "outside";
    std::size_t smallest = SIZE_MAX;
    for (const Region& region : regions) {
        if (offset > region.begin && offset < region.end && region.end - region.begin < smallest) {
            smallest = region.end - region.begin;
            found = region.path;
        }
    }
    for (const Region& region : regions) {
        if (region.begin == offset && region.path.starts_with(found + "/") &&
            region.path.ends_with("AfterInfoAndTracks"))
            return region.path;
    }
    return found;
}

bool skipped(const std::string& path);

// Where the readers never look: their documented difference from libavformat. An element copied
// in is never looked at where it lands, or when it is one the readers skip and it lands between
// the segment's elements (a second seek index whose offsets point wrong, say).
bool readersNeverLook(const std::string& path)
{
    const std::string copy = "+copy";
    if (path.size() > copy.size() && path.ends_with(copy)) {
        const std::size_t slash = path.rfind('/');
        const std::string where = path.substr(0, slash);
        return skipped(where) ||
               (where == "Segment" &&
                skipped(path.substr(slash + 1, path.size() - slash - 1 - copy.size())));
    }
    return skipped(path);
}

bool skipped(const std::string& path)
{
    for (const char* skipped : {"/stts",    "/stss",       "/ctts",
                                "/stsc",    "/stsz",       "/stz2",
                                "/stco",    "/co64",       "/sdtp",
                                "/sgpd",    "/sbgp",       "/cslg",
                                "/stps",    "dinf",        "udta",
                                "edts",     "meta",        "mdat",
                                "free",     "SeekHead",    "Void",
                                "Cluster",  "Cues",        "Tags",
                                "Chapters", "Attachments", "AfterInfoAndTracks",
                                "LaterTag", "movi",        "idx1",
                                "AfterData"}) {
        if (path.find(skipped) != std::string::npos)
            return true;
    }
    return false;
}

// One change to a file, and the region of the original file it touched.
struct Change {
    std::function<void(Bytes&)> apply;
    std::string where;
};

std::vector<Change> changesFor(const Bytes& seed, const std::vector<Region>& regions,
                               std::mt19937_64& random)
{
    std::vector<Change> changes;
    auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    const std::size_t count = 1 + pick(3);
    for (std::size_t change = 0; change < count; ++change) {
        switch (pick(5)) {
        case 0: { // a byte
            const std::size_t at = pick(seed.size());
            const char value = char(random());
            changes.push_back({[at, value](Bytes& bytes) {
                                   if (at < bytes.size())
                                       bytes[at] = value;
                               },
                               regionAt(regions, at)});
            break;
        }
        case 1: // a field of a box or element header, or just after it
        case 2: {
            const Region& region = regions[pick(regions.size())];
            const std::size_t at =
                region.begin + pick(std::min<std::size_t>(24, region.end - region.begin));
            if (at + 4 > seed.size())
                break;
            const std::uint32_t values[] = {
                0, 1, 0xFFFFFFFF, 0x7FFFFFFF, std::uint32_t(random()), bigEndian32(seed, at) + 1};
            const std::uint32_t value = values[pick(std::size(values))];
            changes.push_back({[at, value](Bytes& bytes) {
                                   for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                                       bytes[at + i] = char(value >> (24 - 8 * i));
                               },
                               regionAt(regions, at)});
            break;
        }
        case 3: { // a region copied in after another (the containers' sizes left as they were)
            const Region& copied = regions[pick(regions.size())];
            const Region& after = regions[pick(regions.size())];
            if (copied.end - copied.begin > 4096)
                break;
            const Bytes inserted = seed.substr(copied.begin, copied.end - copied.begin);
            const std::size_t at = after.end;
            // Named by where it lands and what it is: "Segment/SeekHead+copy".
            const std::string name = copied.path.substr(copied.path.rfind('/') + 1);
            changes.push_back({[at, inserted](Bytes& bytes) {
                                   bytes.insert(std::min(at, bytes.size()), inserted);
                               },
                               enclosingAt(regions, at) + "/" + name + "+copy"});
            break;
        }
        default: { // cut short
            const std::size_t at = pick(seed.size());
            changes.push_back({[at](Bytes& bytes) { bytes.resize(std::min(at, bytes.size())); },
                               regionAt(regions, at) + "+cut"});
            break;
        }
        }
    }
    return changes;
}

Bytes applied(Bytes bytes, const std::vector<Change>& changes,
              const std::function<bool(const Change&)>& which, bool fixChecksums)
{
    for (const Change& change : changes) {
        if (which(change))
            change.apply(bytes);
    }
    if (fixChecksums)
        fixOggChecksums(bytes);
    return bytes;
}

std::optional<MediaProbe> readHeaders(const Bytes& bytes)
{
    const auto size = std::int64_t(bytes.size());
    const ReadAt readAt = [&](std::int64_t offset, std::span<std::uint8_t> into) -> std::int64_t {
        if (offset < 0 || offset > size)
            std::abort();
        const std::int64_t count = std::min<std::int64_t>(size - offset, into.size());
        std::memcpy(into.data(), bytes.data() + offset, std::size_t(count));
        return count;
    };
    HeaderWindow window(size, readAt);
    return quillmark::readHeaders(window);
}

// libavformat reading the same bytes from a descriptor, as the app reads a file.
LibavReading readWithLibav(const LibavModule& libav, const Bytes& bytes, const char* name)
{
    const int fd = ::memfd_create("mutant", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
        std::perror("memfd");
        std::exit(2);
    }
    ::lseek(fd, 0, SEEK_SET);
    const LibavReading reading = libav.read(fd, name, ProbeBudget{}, {}, false);
    ::close(fd);
    return reading;
}

bool agree(const LibavModule& libav, const Bytes& bytes, const MediaProbe& header,
           const std::string& name)
{
    const LibavReading reading = readWithLibav(libav, bytes, name.c_str());
    return reading.outcome == LibavReading::Outcome::read && reading.probe == header;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t randomSeed = 20261207;
    if (argc > 2 && std::strcmp(argv[1], "--seed") == 0) {
        randomSeed = std::strtoull(argv[2], nullptr, 10);
        argv += 2;
        argc -= 2;
    }
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: differential_fuzz [--seed N] RUNS OUTPUT-FOLDER SEED-FILE...\n");
        return 2;
    }
    const long runs = std::atol(argv[1]);
    const std::string output = argv[2];
    const LibavModule* libav = libavModule();
    if (!libav) {
        std::fprintf(stderr, "differential_fuzz: the libav module cannot be loaded\n");
        return 2;
    }
    struct Seed {
        std::string name;
        Bytes bytes;
        std::vector<Region> regions;
    };
    std::vector<Seed> seeds;
    for (int i = 3; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(file)), {});
        std::vector<Region> regions = regionsOf(bytes);
        if (!regions.empty() && readHeaders(bytes))
            seeds.push_back({argv[i], std::move(bytes), std::move(regions)});
    }
    std::mt19937_64 random(randomSeed);
    std::map<std::string, long> documented, unexpected;
    long answered = 0;
    for (long run = 0; run < runs && !seeds.empty(); ++run) {
        const Seed& seed = seeds[std::size_t(run) % seeds.size()];
        const std::vector<Change> changes = changesFor(seed.bytes, seed.regions, random);
        const bool fixChecksums = seed.bytes.starts_with("OggS") && random() % 4 != 0;
        const Bytes mutant = applied(
            seed.bytes, changes, [](const Change&) { return true; }, fixChecksums);
        const std::optional<MediaProbe> header = readHeaders(mutant);
        if (!header)
            continue;
        ++answered;
        if (agree(*libav, mutant, *header, seed.name))
            continue;
        std::string where;
        for (const Change& change : changes)
            where += (where.empty() ? "" : " ") + change.where;
        const auto looked = [](const Change& change) { return !readersNeverLook(change.where); };
        // The changes where the readers look, without the others, together and one by one: if
        // the reader declines each or agrees with libavformat on each, the difference came from
        // where the readers never look.
        const auto explained = [&](const std::function<bool(const Change&)>& which) {
            const Bytes part = applied(seed.bytes, changes, which, fixChecksums);
            const std::optional<MediaProbe> again = readHeaders(part);
            return !again || agree(*libav, part, *again, seed.name);
        };
        bool documentedDifference = explained(looked);
        for (const Change& change : changes) {
            if (looked(change))
                documentedDifference = documentedDifference &&
                                       explained([&](const Change& c) { return &c == &change; });
        }
        if (documentedDifference) {
            const auto first = std::find_if_not(changes.begin(), changes.end(), looked);
            ++documented[first == changes.end() ? where : first->where];
            continue;
        }
        const std::string artifact = output + "/difference-" + std::to_string(run);
        std::ofstream(artifact, std::ios::binary) << mutant;
        const LibavReading reading = readWithLibav(*libav, mutant, seed.name.c_str());
        std::printf("difference in %s (%s): reader %.6f, libavformat %s %.6f -> %s\n",
                    seed.name.c_str(), where.c_str(), header->seconds.value_or(-1),
                    reading.outcome == LibavReading::Outcome::read
                        ? (reading.probe.playable ? "playable" : "not playable")
                        : "refused",
                    reading.probe.seconds.value_or(-1), artifact.c_str());
        ++unexpected[where];
    }
    std::printf("differential: %ld runs (seed %llu), %ld answered by a reader, %zu seed files\n",
                runs, static_cast<unsigned long long>(randomSeed), answered, seeds.size());
    for (const auto& [where, count] : documented)
        std::printf("  documented difference, changed in %s: %ld\n", where.c_str(), count);
    long failures = 0;
    for (const auto& [where, count] : unexpected)
        failures += count;
    std::printf("  unexpected differences: %ld\n", failures);
    return failures > 0 ? 1 : 0;
}
