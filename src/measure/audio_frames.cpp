#include "measure/audio_frames.h"

#include "measure/header_window.h"

namespace quillmark {

namespace {

AudioFrame adtsFrame(std::span<const std::uint8_t> at)
{
    static constexpr std::int64_t rates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                             22050, 16000, 12000, 11025, 8000,  7350};
    if (at.size() < 7 || at[0] != 0xFF || (at[1] & 0xF6) != 0xF0)
        throw HeaderDeclined{};
    const std::size_t rate = at[2] >> 2 & 0x0F;
    const std::size_t bytes = std::size_t(at[3] & 3) << 11 | std::size_t(at[4]) << 3 | at[5] >> 5;
    // One raw data block a frame, as encoders write it.
    if (rate >= std::size(rates) || bytes < 7 || (at[6] & 3) != 0)
        throw HeaderDeclined{};
    return {bytes, 1024, rates[rate]};
}

} // namespace

AudioFrame mpegAudioFrame(std::span<const std::uint8_t> at)
{
    // Kilobits a second by bit rate index, for MPEG-1 layers I, II, III and MPEG-2 layers I, II
    // and III.
    static constexpr int kilobits[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static constexpr std::int64_t rates[] = {44100, 48000, 32000};
    if (at.size() < 4 || at[0] != 0xFF || (at[1] & 0xE0) != 0xE0)
        throw HeaderDeclined{};
    const int version = at[1] >> 3 & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int layer = 4 - (at[1] >> 1 & 3);
    const int bitRate = at[2] >> 4;
    const int rate = at[2] >> 2 & 3;
    if (version == 1 || layer == 4 || bitRate == 0 || bitRate == 15 || rate == 3)
        throw HeaderDeclined{};
    const bool mpeg1 = version == 3;
    const std::int64_t sampleRate = rates[rate] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const std::int64_t bits = 1000LL * kilobits[mpeg1 ? layer - 1 : layer == 1 ? 3 : 4][bitRate];
    const int padding = at[2] >> 1 & 1;
    if (layer == 1)
        return {std::size_t((12 * bits / sampleRate + padding) * 4), 384, sampleRate};
    const std::int64_t samples = layer == 3 && !mpeg1 ? 576 : 1152;
    return {std::size_t(samples / 8 * bits / sampleRate + padding), samples, sampleRate};
}

AudioFrame ac3Frame(std::span<const std::uint8_t> at)
{
    // Kilobits a second by frame size code, two codes each.
    static constexpr int kilobits[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                       192, 224, 256, 320, 384, 448, 512, 576, 640};
    static constexpr std::int64_t rates[] = {48000, 44100, 32000};
    if (at.size() < 7 || at[0] != 0x0B || at[1] != 0x77)
        throw HeaderDeclined{};
    const int rate = at[4] >> 6;
    const int sizeCode = at[4] & 0x3F;
    const int stream = at[5] >> 3;
    if (rate == 3 || sizeCode >= 38 || stream > 8)
        throw HeaderDeclined{};
    const std::int64_t bits = kilobits[sizeCode / 2];
    // Sixteen-bit words a frame: at 44.1 kHz rounded down, and one more for the odd codes.
    const std::int64_t words = rate == 0   ? 2 * bits
                               : rate == 2 ? 3 * bits
                                           : bits * 320 / 147 + (sizeCode & 1);
    return {std::size_t(2 * words), 1536, rates[rate]};
}

AudioFrames audioFrames(std::span<const std::uint8_t> payload, AudioSyntax syntax)
{
    AudioFrames frames;
    for (std::size_t at = 0; at < payload.size();) {
        const AudioFrame frame = syntax == AudioSyntax::adts ? adtsFrame(payload.subspan(at))
                                                             : mpegAudioFrame(payload.subspan(at));
        if (frame.bytes == 0 || frame.bytes > payload.size() - at ||
            (frames.count > 0 &&
             (frame.samples != frames.samples || frame.sampleRate != frames.sampleRate)))
            throw HeaderDeclined{};
        frames = {frames.count + 1, frame.samples, frame.sampleRate};
        at += frame.bytes;
    }
    if (frames.count == 0)
        throw HeaderDeclined{};
    return frames;
}

} // namespace quillmark
