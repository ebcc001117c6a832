#include "measure/media_probe.h"

#include "measure/iso_media_header.h"
#include "measure/libav_module.h"
#include "measure/matroska_header.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/regular_file.h"

#include <QCoreApplication>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

Failure limitReached(const std::filesystem::path& file, bool outOfTime, const ProbeBudget& budget)
{
    const QString name = lastPathComponent(file);
    if (outOfTime)
        return Failure{FailureKind::timeLimit,
                       QCoreApplication::translate("MediaProbe",
                                                   "«%1» non dice la sua durata in %2 secondi e "
                                                   "non viene letto oltre.")
                           .arg(name, QString::number(budget.time.count() / 1000))};
    return Failure{FailureKind::sizeLimit,
                   QCoreApplication::translate("MediaProbe",
                                               "«%1» non dice la sua durata nei primi %2 MiB e "
                                               "non viene letto oltre.")
                       .arg(name, QString::number(budget.bytes / (1024 * 1024)))};
}

Failure unreadable(const std::filesystem::path& file, int error)
{
    return Failure{FailureKind::system,
                   QCoreApplication::translate("MediaProbe", "Impossibile leggere «%1»: %2")
                       .arg(lastPathComponent(file), platformErrorDescription(std::error_code(
                                                         error, std::generic_category())))};
}

Failure notMedia(const std::filesystem::path& file)
{
    return Failure{FailureKind::content, AppError::unsupportedFormat(file).errorDescription()};
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
Expected<MediaProbe> probe(const std::filesystem::path& file, std::stop_token stop,
                           const ProbeBudget& budget, bool quickWays)
{
    FileDescriptor fd;
    try {
        fd = openRegularFile(file);
    } catch (const NotRegularFileError& error) {
        return Failure{FailureKind::content, QString::fromStdString(error.what())};
    } catch (const std::system_error& error) {
        return unreadable(file, error.code().value());
    }
    if (quickWays) {
        // One window for both readers: a file the first declines at its first bytes, as it does
        // every Matroska or AVI file, is not read again for the second.
        const ReadAt reads = positionedReads(fd.get());
        HeaderWindow window(fileSize(fd.get()), reads);
        if (auto header = readIsoMediaHeader(window))
            return *header;
        if (auto header = readMatroskaHeader(window))
            return *header;
    }
    const LibavModule* libav = libavModule();
    if (!libav)
        return Failure{FailureKind::system,
                       QCoreApplication::translate(
                           "MediaProbe", "le librerie di FFmpeg non si possono caricare")};
    const LibavReading reading =
        libav->read(fd.get(), file.c_str(), budget, std::move(stop), quickWays);
    switch (reading.outcome) {
    case LibavReading::Outcome::read:
        return reading.probe;
    case LibavReading::Outcome::outOfBytes:
    case LibavReading::Outcome::outOfTime:
        return limitReached(file, reading.outcome == LibavReading::Outcome::outOfTime, budget);
    case LibavReading::Outcome::failedToRead:
        return unreadable(file, reading.error);
    case LibavReading::Outcome::stopped:
        return Failure{FailureKind::stopped,
                       QCoreApplication::translate("MediaProbe", "interrotto")};
    case LibavReading::Outcome::notMedia:
        break;
    }
    return notMedia(file);
}

} // namespace

Expected<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop,
                                const ProbeBudget& budget)
{
    return probe(file, std::move(stop), budget, true);
}

Expected<MediaProbe> probeWithLibav(const std::filesystem::path& file, std::stop_token stop,
                                    const ProbeBudget& budget)
{
    return probe(file, std::move(stop), budget, false);
}

} // namespace quillmark
