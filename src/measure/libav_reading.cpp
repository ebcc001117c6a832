// The module that holds every use of the FFmpeg libraries, loaded at the first file that needs
// them (see libav_module.h). Nothing here uses Qt: messages are made by the caller.
#include "measure/libav_module.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
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
    int readError = 0; // the errno of a read or seek the system refused
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
        if (errno != EINTR) {
            reader.readError = errno;
            return AVERROR(errno);
        }
    }
}

int64_t seekInFile(void* opaque, int64_t offset, int whence)
{
    auto& reader = *static_cast<Reader*>(opaque);
    if (whence == AVSEEK_SIZE) {
        struct stat info {};
        if (::fstat(reader.fd, &info) == 0)
            return int64_t(info.st_size);
        reader.readError = errno;
        return AVERROR(errno);
    }
    const off_t position = ::lseek(reader.fd, off_t(offset), whence & ~AVSEEK_FORCE);
    // A seek past the end or before the start is the file's doing; only the system's refusals
    // count as a failed read.
    if (position < 0 && errno != EINVAL)
        reader.readError = errno;
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

// The demuxer a file's extension names, for the containers whose demuxer checks the file's
// signature before reading on, so that a file named wrongly fails and is then probed by its
// content: the same demuxer is chosen, without probing every other one first.
const AVInputFormat* demuxerNamedBy(const char* name)
{
    std::string extension = name;
    const std::size_t dot = extension.find_last_of("./");
    extension =
        dot == std::string::npos || extension[dot] != '.' ? std::string() : extension.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".mkv" || extension == ".webm")
        return av_find_input_format("matroska");
    if (extension == ".avi")
        return av_find_input_format("avi");
    return nullptr;
}

LibavReading::Outcome spent(const Reader& reader)
{
    return reader.outOfTime ? LibavReading::Outcome::outOfTime : LibavReading::Outcome::outOfBytes;
}

// A reading that ended for want of something the file does not decide: an I/O error, memory, a
// stop request. Then nothing is said of the file's content.
std::optional<LibavReading> notAnswered(const Reader& reader, int status = 0)
{
    if (reader.stop.stop_requested())
        return LibavReading{LibavReading::Outcome::stopped, {}, 0};
    if (reader.readError)
        return LibavReading{LibavReading::Outcome::failedToRead, {}, reader.readError};
    if (status == AVERROR(ENOMEM))
        return LibavReading{LibavReading::Outcome::failedToRead, {}, ENOMEM};
    return std::nullopt;
}

// Reads the file from its start: with the demuxer given, or the one its content calls for.
LibavReading readFrom(const char* name, const AVInputFormat* demuxer, Reader& reader)
{
    if (::lseek(reader.fd, 0, SEEK_SET) != 0)
        return {LibavReading::Outcome::failedToRead, {}, errno};
    const AvioContext avio = fileReader(reader);
    AVFormatContext* raw = avformat_alloc_context();
    if (!avio || !raw) {
        avformat_free_context(raw);
        return {LibavReading::Outcome::failedToRead, {}, ENOMEM};
    }
    raw->pb = avio.get();
    raw->io_open = refuseToOpen;
    raw->interrupt_callback = AVIOInterruptCB{interrupted, &reader};
    // The name only guides the format probe by its extension; nothing is opened by it.
    const std::string url = std::string("file:") + name;
    OpenOptions options;
    const int opened = avformat_open_input(&raw, url.c_str(), demuxer, &options.dictionary);
    if (reader.outOfBytes || reader.outOfTime) {
        if (opened >= 0)
            avformat_close_input(&raw);
        return {spent(reader), {}, 0};
    }
    if (opened < 0) // avformat_open_input frees the context on failure
        return notAnswered(reader, opened).value_or(LibavReading{});
    const FormatContext context(raw);

    readWhatTheContainerNeeds(*context);
    if (reader.outOfBytes || reader.outOfTime)
        return {spent(reader), {}, 0};
    if (const auto unanswered = notAnswered(reader))
        return *unanswered;
    return {LibavReading::Outcome::read,
            MediaProbe{hasPlayableStream(*context), durationSeconds(*context)}, 0};
}

LibavReading readFile(int fd, const char* name, const ProbeBudget& budget, std::stop_token stop,
                      bool quickDemuxer)
{
    configureLibav();
    Reader reader{fd, budget.bytes, std::chrono::steady_clock::now() + budget.time,
                  std::move(stop)};
    if (const AVInputFormat* named = quickDemuxer ? demuxerNamedBy(name) : nullptr) {
        const LibavReading reading = readFrom(name, named, reader);
        if (reading.outcome != LibavReading::Outcome::notMedia)
            return reading;
    }
    return readFrom(name, nullptr, reader);
}

// The codec libavformat's MOV reader gives a sample description, the same way, and whether a
// decoder plays it. The code is compared as libavformat reads it, little-endian.
bool movCodecPlays(std::uint32_t handler, std::uint32_t sampleEntry)
{
    const AVCodecTag* const tables[] = {handler == 0x76696465 // "vide"
                                            ? avformat_get_mov_video_tags()
                                            : avformat_get_mov_audio_tags(),
                                        nullptr};
    const unsigned tag = (sampleEntry >> 24) | ((sampleEntry >> 8) & 0xff00) |
                         ((sampleEntry << 8) & 0xff0000) | (sampleEntry << 24);
    const AVCodecID codec = av_codec_get_id(tables, tag);
    const bool stillImage = codec == AV_CODEC_ID_MJPEG || codec == AV_CODEC_ID_PNG ||
                            codec == AV_CODEC_ID_BMP || codec == AV_CODEC_ID_GIF ||
                            codec == AV_CODEC_ID_TIFF || codec == AV_CODEC_ID_JPEG2000 ||
                            codec == AV_CODEC_ID_WEBP;
    return codec != AV_CODEC_ID_NONE && !stillImage && avcodec_find_decoder(codec) != nullptr;
}

bool hasDecoder(const char* name)
{
    return avcodec_find_decoder_by_name(name) != nullptr;
}

const LibavModule functions{readFile, movCodecPlays, hasDecoder};

} // namespace

} // namespace quillmark

extern "C" __attribute__((visibility("default"))) const quillmark::LibavModule*
quillmark_libav_module()
{
    return &quillmark::functions;
}
