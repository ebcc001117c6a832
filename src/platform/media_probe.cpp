#include "platform/media_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include "platform/regular_file.h"

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

int readFromFile(void* fd, uint8_t* buffer, int size)
{
    for (;;) {
        const ssize_t count = ::read(*static_cast<const int*>(fd), buffer, std::size_t(size));
        if (count > 0)
            return int(count);
        if (count == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

int64_t seekInFile(void* fd, int64_t offset, int whence)
{
    const int descriptor = *static_cast<const int*>(fd);
    if (whence == AVSEEK_SIZE) {
        struct stat info {};
        return ::fstat(descriptor, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    const off_t position = ::lseek(descriptor, off_t(offset), whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : int64_t(position);
}

// Reads only through the descriptor that was checked to be a regular file.
AvioContext fileReader(int* fd)
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(readBufferSize));
    if (!buffer)
        return nullptr;
    AVIOContext* context =
        avio_alloc_context(buffer, readBufferSize, 0, fd, readFromFile, nullptr, seekInFile);
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

int interrupted(void* stop)
{
    return static_cast<const std::stop_token*>(stop)->stop_requested() ? 1 : 0;
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

} // namespace

std::optional<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop)
{
    static std::once_flag silenced;
    std::call_once(silenced, [] { av_log_set_level(AV_LOG_QUIET); });

    FileDescriptor fd;
    try {
        fd = openRegularFile(file);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    int descriptor = fd.get();
    const AvioContext reader = fileReader(&descriptor);
    AVFormatContext* raw = avformat_alloc_context();
    if (!reader || !raw) {
        avformat_free_context(raw);
        return std::nullopt;
    }
    raw->pb = reader.get();
    raw->io_open = refuseToOpen;
    raw->interrupt_callback = AVIOInterruptCB{interrupted, &stop};
    // The name only guides the format probe by its extension; nothing is opened by it.
    const std::string name = "file:" + file.native();
    if (avformat_open_input(&raw, name.c_str(), nullptr, nullptr) < 0)
        return std::nullopt; // avformat_open_input frees the context on failure
    const FormatContext context(raw);

    readWhatTheContainerNeeds(*context);
    if (stop.stop_requested())
        return std::nullopt;
    return MediaProbe{hasPlayableStream(*context), durationSeconds(*context)};
}

} // namespace quillmark
