#include "measure/media_probe.h"

#include "measure/iso_media_header.h"
#include "measure/libav_module.h"
#include "measure/matroska_header.h"
#include "model/path_text.h"
#include "platform/regular_file.h"

#include <QCoreApplication>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

[[noreturn]] void throwLimitReached(const std::filesystem::path& file, bool outOfTime,
                                    const ProbeBudget& budget)
{
    const QString name = lastPathComponent(file);
    throw MeasuringLimitReached(
        (outOfTime
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

// The quick ways first when allowed: the header readers, then the demuxer the extension names;
// then libavformat probing the content, as it always did.
std::optional<MediaProbe> probe(const std::filesystem::path& file, std::stop_token stop,
                                const ProbeBudget& budget, bool quickWays)
{
    FileDescriptor fd;
    try {
        fd = openRegularFile(file);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (quickWays) {
        // One window for both readers: a file the first declines at its first bytes, as it does
        // every Matroska or AVI file, is not read again for the second.
        const ReadAt reads = positionedReads(fd.get());
        HeaderWindow window(fileSize(fd.get()), reads);
        if (auto header = readIsoMediaHeader(window))
            return header;
        if (auto header = readMatroskaHeader(window))
            return header;
    }
    const LibavModule* libav = libavModule();
    if (!libav)
        return std::nullopt;
    const LibavReading reading =
        libav->read(fd.get(), file.c_str(), budget, std::move(stop), quickWays);
    switch (reading.outcome) {
    case LibavReading::Outcome::read:
        return reading.probe;
    case LibavReading::Outcome::outOfBytes:
    case LibavReading::Outcome::outOfTime:
        throwLimitReached(file, reading.outcome == LibavReading::Outcome::outOfTime, budget);
    case LibavReading::Outcome::notMedia:
        break;
    }
    return std::nullopt;
}

} // namespace

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
