#pragma once

#include "measure/duration_cache.h"
#include "measure/media_duration_provider.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quillmark {

// Whole seconds for a media file from an ordered chain of providers: each is asked only when
// the ones before it failed (the platform's libraries first, then the ffprobe tool). A small
// value: copies share the same stateless providers. Another provider is one more in the chain.
class VideoDurationService {
public:
    using Provider = std::shared_ptr<const MediaDurationProvider>;
    explicit VideoDurationService(std::vector<Provider> providers);

    // Of the open file, truncated toward zero; a negative, infinite or NaN duration is a failed
    // measurement. Fails asking no further provider for a file one read too much of or for too
    // long, and when stopped; with the provider's own failure when it is the only one; otherwise
    // with every provider's message, joined by " — fallback: ", as lasting only when every
    // provider's failure lasts.
    Expected<std::int64_t> duration(const MediaFile& file, std::stop_token stop = {}) const;
    // The same for a file not opened yet, which fails for anything but a regular file before
    // any provider is asked: a FIFO or a device would block a provider, or feed it without end.
    // `listedRegular` as openRegularFile takes it; the stamp is what fstat said of the file that
    // was opened, to remember the answer by.
    struct Measured {
        Expected<std::int64_t> seconds;
        std::optional<FileStamp> stamp;
    };
    Measured measure(const std::filesystem::path& file, std::stop_token stop = {},
                     bool listedRegular = false) const;
    Expected<std::int64_t> duration(const std::filesystem::path& file,
                                    std::stop_token stop = {}) const
    {
        return measure(file, std::move(stop)).seconds;
    }

    // What a failure depends on besides the file: the providers, and the language of the
    // messages it carries.
    QString failureContext() const;

private:
    std::vector<Provider> m_providers;
};

// The application's service: the in-process media libraries, then ffprobe at the configured
// path or, when none is configured, wherever it is installed.
VideoDurationService
makeVideoDurationService(const std::optional<std::filesystem::path>& ffprobePath);

} // namespace quillmark
