#include "measure/media_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include "measure/iso_media_header.h"
#include "model/path_text.h"
#include "platform/regular_file.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

// Enough packets for an FLV file to announce its streams and codecs.
constexpr int flvPacketsToRead = 64;

// The most libavutil may allocate at once: a crafted header of a few kilobytes otherwise makes a
// demuxer ask for gigabytes. The index of a day-long film fits; a file that needs more is
// left to ffprobe.
constexpr std::size_t largestAllocation = 256 * 1024 * 1024;

struct FormatContextDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using FormatContext = std::unique_ptr<AVFormatContext, FormatContextDeleter>;

// libavformat's usual reading buffer.
constexpr int readBufferSize = 32768;

struct AvioContextDeleter {
    void operator()(AVIOContext* context) const
    {
        av_freep(&context->buffer); // libavformat may have replaced the buffer given to it
        avio_context_free(&context);
    }
};
using AvioContext = std::unique_ptr<AVIOContext, AvioContextDeleter>;

// What the probe reads through: the descriptor that was checked to be a regular file, and what
// is left of the budget.
struct Reader {
    int fd = -1;
    std::int64_t bytesLeft = 0;
    std::chrono::steady_clock::time_point deadline;
    std::stop_token stop;
    bool outOfBytes = false;
    bool outOfTime = false;
};

// libavformat asks the interrupt callback only in some of its loops, never on the reads of a
// reader of one's own: so each read also looks at the clock and the stop request.
bool interruptedNow(Reader& reader)
{
    if (std::chrono::steady_clock::now() > reader.deadline)
        reader.outOfTime = true;
    return reader.outOfTime || reader.stop.stop_requested();
}

int readFromFile(void* opaque, uint8_t* buffer, int size)
{
    auto& reader = *static_cast<Reader*>(opaque);
    if (interruptedNow(reader))
        return AVERROR_EXIT;
    if (reader.bytesLeft <= 0) {
        reader.outOfBytes = true;
        return AVERROR_EXIT;
    }
    const auto wanted = std::size_t(std::min<std::int64_t>(size, reader.bytesLeft));
    for (;;) {
        const ssize_t count = ::read(reader.fd, buffer, wanted);
        if (count > 0) {
            reader.bytesLeft -= count;
            return int(count);
        }
        if (count == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

int64_t seekInFile(void* opaque, int64_t offset, int whence)
{
    const int descriptor = static_cast<const Reader*>(opaque)->fd;
    if (whence == AVSEEK_SIZE) {
        struct stat info {};
        return ::fstat(descriptor, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t position = ::lseek(descriptor, off_t(offset), whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : int64_t(position);
}

AvioContext fileReader(Reader& reader)
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(readBufferSize));
    if (!buffer)
        return nullptr;
    AVIOContext* context =
        avio_alloc_context(buffer, readBufferSize, 0, &reader, readFromFile, nullptr, seekInFile);
    if (!context)
        av_free(buffer);
    return AvioContext(context);
}

// Playlists and references inside a file (HLS, concat, MOV data references) would open other
// files or URLs, which may be FIFOs, devices or the network: nothing but the file itself is read.
int refuseToOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
{
    return AVERROR(EPERM);
}

int interrupted(void* opaque)
{
    return interruptedNow(*static_cast<Reader*>(opaque)) ? 1 : 0;
}

// What the options of an open say: only the containers that read themselves, and no protocol at
// all for anything a demuxer would open besides the file (the file itself needs none: it is read
// through the reader).
struct OpenOptions {
    AVDictionary* dictionary = nullptr;
    OpenOptions()
    {
        av_dict_set(&dictionary, "format_whitelist", selfContainedFormats, 0);
        av_dict_set(&dictionary, "protocol_whitelist", "none", 0);
    }
    ~OpenOptions() { av_dict_free(&dictionary); }
    OpenOptions(const OpenOptions&) = delete;
    OpenOptions& operator=(const OpenOptions&) = delete;
};

[[noreturn]] void throwLimitReached(const std::filesystem::path& file, const Reader& reader,
                                    const ProbeBudget& budget)
{
    const QString name = lastPathComponent(file);
    throw MeasuringLimitReached(
        (reader.outOfTime
             ? QCoreApplication::translate("MediaProbe",
                                           "«%1» non dice la sua durata in %2 secondi e non viene "
                                           "letto oltre.")
                   .arg(name, QString::number(budget.time.count() / 1000))
             : QCoreApplication::translate("MediaProbe",
                                           "«%1» non dice la sua durata nei primi %2 MiB e non "
                                           "viene letto oltre.")
                   .arg(name, QString::number(budget.bytes / (1024 * 1024))))
            .toStdString());
}

bool isDemuxer(const AVFormatContext& context, const char* name)
{
    return std::strcmp(context.iformat->name, name) == 0;
}

bool statesDurationInHeader(const AVFormatContext& context)
{
    return isDemuxer(context, "mov,mp4,m4a,3gp,3g2,mj2") || isDemuxer(context, "matroska,webm") ||
           isDemuxer(context, "avi");
}

bool isPlayableStream(const AVStream& stream)
{
    const AVCodecParameters& codec = *stream.codecpar;
    if (codec.codec_type != AVMEDIA_TYPE_VIDEO && codec.codec_type != AVMEDIA_TYPE_AUDIO)
        return false;
    if (stream.disposition & AV_DISPOSITION_ATTACHED_PIC)
        return false;
    return codec.codec_id != AV_CODEC_ID_NONE && avcodec_find_decoder(codec.codec_id) != nullptr;
}

bool hasPlayableStream(const AVFormatContext& context)
{
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        if (isPlayableStream(*context.streams[i]))
            return true;
    }
    return false;
}

std::optional<double> longestStreamSeconds(const AVFormatContext& context)
{
    std::optional<double> longest;
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        const AVStream& stream = *context.streams[i];
        if (stream.duration == AV_NOPTS_VALUE || stream.duration < 0)
            continue;
        const double seconds = double(stream.duration) * av_q2d(stream.time_base);
        if (!longest || seconds > *longest)
            longest = seconds;
    }
    return longest;
}

std::optional<double> durationSeconds(const AVFormatContext& context)
{
    if (context.duration != AV_NOPTS_VALUE)
        return double(context.duration) / AV_TIME_BASE;
    return longestStreamSeconds(context);
}

// A duration that libavformat guessed from the bit rate is not trusted without stream info.
bool knowsDuration(const AVFormatContext& context)
{
    return durationSeconds(context).has_value() &&
           context.duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
}

// FLV creates its streams only as their packets arrive: read a few, without decoding.
void readFlvPackets(AVFormatContext& context)
{
    AVPacket* packet = av_packet_alloc();
    for (int read = 0; read < flvPacketsToRead; ++read) {
        if (av_read_frame(&context, packet) < 0)
            break;
        av_packet_unref(packet);
        if (hasPlayableStream(context) && knowsDuration(context))
            break;
    }
    av_packet_free(&packet);
}

// MP4, MOV, F4V and Matroska state streams and duration in their header. AVI may lack an overall
// duration, which the longest stream then gives. Anything else needs a short stream analysis.
void readWhatTheContainerNeeds(AVFormatContext& context)
{
    const bool flv = isDemuxer(context, "flv");
    if (flv)
        readFlvPackets(context);
    if ((flv || statesDurationInHeader(context)) && hasPlayableStream(context) &&
        knowsDuration(context))
        return;
    context.max_analyze_duration = 1; // 0 would mean the 5-second default
    context.fps_probe_size = 0;
    avformat_find_stream_info(&context, nullptr);
}

// Configures libavutil once: silent, and no allocation a crafted header could inflate.
void configureLibav()
{
    static std::once_flag configured;
    std::call_once(configured, [] {
        av_log_set_level(AV_LOG_QUIET);
        av_max_alloc(largestAllocation);
    });
}

std::int64_t fileSize(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? std::int64_t(info.st_size) : -1;
}

ReadAt positionedReads(int fd)
{
    return [fd](std::int64_t offset, std::span<std::uint8_t> into) -> std::int64_t {
        std::size_t done = 0;
        while (done < into.size()) {
            const ssize_t count =
                ::pread(fd, into.data() + done, into.size() - done, off_t(offset) + off_t(done));
            if (count == 0)
                break;
            if (count < 0 && errno != EINTR)
                return -1;
            if (count > 0)
                done += std::size_t(count);
        }
        return std::int64_t(done);
    };
}

// The demuxer a file's extension names, for the containers whose demuxer checks the file's
// signature before reading on, so that a file named wrongly fails and is then probed by its
// content: the same demuxer is chosen, without probing every other one first.
const AVInputFormat* demuxerNamedBy(const std::filesystem::path& file)
{
    const QString extension = QString::fromStdString(file.extension().native()).toLower();
    if (extension == QLatin1String(".mkv") || extension == QLatin1String(".webm"))
        return av_find_input_format("matroska");
    if (extension == QLatin1String(".avi"))
        return av_find_input_format("avi");
    return nullptr;
}

// Reads the file from its start with libavformat: with the demuxer given, or the one its content
// calls for. Nothing when it cannot be opened as media.
std::optional<MediaProbe> readWithLibav(const std::filesystem::path& file,
                                        const AVInputFormat* demuxer, Reader& reader,
                                        const ProbeBudget& budget)
{
    if (::lseek(reader.fd, 0, SEEK_SET) != 0)
        return std::nullopt;
    const AvioContext avio = fileReader(reader);
    AVFormatContext* raw = avformat_alloc_context();
    if (!avio || !raw) {
        avformat_free_context(raw);
        return std::nullopt;
    }
    raw->pb = avio.get();
    raw->io_open = refuseToOpen;
    raw->interrupt_callback = AVIOInterruptCB{interrupted, &reader};
    // The name only guides the format probe by its extension; nothing is opened by it.
    const std::string name = "file:" + file.native();
    OpenOptions options;
    const int opened = avformat_open_input(&raw, name.c_str(), demuxer, &options.dictionary);
    if (reader.outOfBytes || reader.outOfTime) {
        if (opened >= 0)
            avformat_close_input(&raw);
        throwLimitReached(file, reader, budget);
    }
    if (opened < 0)
        return std::nullopt; // avformat_open_input frees the context on failure
    const FormatContext context(raw);

    readWhatTheContainerNeeds(*context);
    if (reader.outOfBytes || reader.outOfTime)
        throwLimitReached(file, reader, budget);
    if (reader.stop.stop_requested())
        return std::nullopt;
    return MediaProbe{hasPlayableStream(*context), durationSeconds(*context)};
}

// The quick ways first when allowed: the header reader, then the demuxer the extension names;
// then libavformat probing the content, as it always did.
std::optional<MediaProbe> probe(const std::filesystem::path& file, std::stop_token stop,
                                const ProbeBudget& budget, bool quickWays)
{
    configureLibav();
    FileDescriptor fd;
    try {
        fd = openRegularFile(file);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (quickWays) {
        if (auto header = readIsoMediaHeader(fileSize(fd.get()), positionedReads(fd.get())))
            return header;
    }
    Reader reader{fd.get(), budget.bytes, std::chrono::steady_clock::now() + budget.time,
                  std::move(stop)};
    if (const AVInputFormat* named = quickWays ? demuxerNamedBy(file) : nullptr) {
        if (auto probe = readWithLibav(file, named, reader, budget))
            return probe;
    }
    return readWithLibav(file, nullptr, reader, budget);
}

} // namespace

const char* const selfContainedFormats =
    "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,avi,flv,asf,mpegts,mpeg,ogg,rm,nut,mxf,dv,ivf,mp3,aac,"
    "flac,wav,w64";

std::optional<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop,
                                     const ProbeBudget& budget)
{
    return probe(file, std::move(stop), budget, true);
}

std::optional<MediaProbe> probeWithLibav(const std::filesystem::path& file, std::stop_token stop,
                                         const ProbeBudget& budget)
{
    return probe(file, std::move(stop), budget, false);
}

} // namespace quillmark
