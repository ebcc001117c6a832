#include "measure/media_probe.h"

#include "measure/header_readers.h"
#include "measure/libav_module.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/regular_file.h"

#include <QCoreApplication>

#include <cerrno>
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

Failure notMedia(const std::filesystem::path& file)
{
    return Failure{FailureKind::content, AppError::unsupportedFormat(file).errorDescription()};
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
Expected<MediaProbe> probe(const MediaFile& file, std::stop_token stop, const ProbeBudget& budget,
                           bool quickWays)
{
    if (quickWays) {
        const ReadAt reads = positionedReads(file.fd);
        HeaderWindow window(file.size, reads);
        if (auto header = readHeaders(window))
            return *header;
    }
    const LibavModule* libav = libavModule();
    if (!libav)
        return Failure{FailureKind::system,
                       QCoreApplication::translate(
                           "MediaProbe", "le librerie di FFmpeg non si possono caricare")};
    const LibavReading reading =
        libav->read(file.fd, file.path.c_str(), budget, std::move(stop), quickWays);
    switch (reading.outcome) {
    case LibavReading::Outcome::read:
        return reading.probe;
    case LibavReading::Outcome::outOfBytes:
    case LibavReading::Outcome::outOfTime:
        return limitReached(file.path, reading.outcome == LibavReading::Outcome::outOfTime, budget);
    case LibavReading::Outcome::failedToRead:
        return readFailure(file.path, reading.error);
    case LibavReading::Outcome::stopped:
        return Failure{FailureKind::stopped,
                       QCoreApplication::translate("MediaProbe", "interrotto")};
    case LibavReading::Outcome::notMedia:
        break;
    }
    return notMedia(file.path);
}

Expected<MediaProbe> probeOpening(const std::filesystem::path& file, std::stop_token stop,
                                  const ProbeBudget& budget, bool quickWays)
{
    OpenFile opened;
    try {
        opened = openRegularFile(file);
    } catch (const NotRegularFileError& error) {
        return Failure{FailureKind::content, QString::fromStdString(error.what())};
    } catch (const std::system_error& error) {
        return readFailure(file, error.code().value());
    }
    return probe(MediaFile{file, opened.fd.get(), std::int64_t(opened.info.st_size)},
                 std::move(stop), budget, quickWays);
}

} // namespace

Failure readFailure(const std::filesystem::path& file, int error)
{
    return Failure{FailureKind::system,
                   QCoreApplication::translate("MediaProbe", "Impossibile leggere «%1»: %2")
                       .arg(lastPathComponent(file), platformErrorDescription(std::error_code(
                                                         error, std::generic_category())))};
}

Expected<MediaProbe> probeMedia(const MediaFile& file, std::stop_token stop,
                                const ProbeBudget& budget)
{
    return probe(file, std::move(stop), budget, true);
}

Expected<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop,
                                const ProbeBudget& budget)
{
    return probeOpening(file, std::move(stop), budget, true);
}

Expected<MediaProbe> probeWithLibav(const std::filesystem::path& file, std::stop_token stop,
                                    const ProbeBudget& budget)
{
    return probeOpening(file, std::move(stop), budget, false);
}

} // namespace quillmark
