#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

class QSqlQuery;

namespace quillmark {

// A file's content as far as the file system can tell without reading it. Any change to the
// file changes its size, its modification or its change time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
};

// Nothing for anything but a regular file (links followed) or a path that cannot be examined.
std::optional<FileStamp> fileStamp(const std::filesystem::path& file);

struct CachedDuration {
    std::int64_t seconds = 0;
    std::optional<QString> error;
    // When a run last met the file (seconds since the epoch); set by find().
    std::int64_t seen = 0;
};

// Measurements kept between runs, in SQLite (WAL, so that the app and quillmark-report can use it
// at once), by the file's stamp and the extension of the name it was measured under. A failure is
// reused only for the same path (its message names the file) and the same failure context: the
// fallback tool and the language of its messages. Entries not seen for half a year are pruned.
// One object belongs to the thread that opened it.
class DurationCache {
public:
    // Opens or creates the cache. A file that is not a database is set aside and a new one made;
    // nothing, with the reason, when there is no usable cache.
    static std::unique_ptr<DurationCache> open(const std::filesystem::path& file, QString& problem);
    ~DurationCache();
    DurationCache(const DurationCache&) = delete;
    DurationCache& operator=(const DurationCache&) = delete;

    std::optional<CachedDuration> find(const FileStamp& stamp, const std::filesystem::path& file,
                                       const QString& failureContext);
    // Reads every entry at once, so that the finds that follow need no query each: worth it
    // when a run asks for many files.
    void preload();

    struct Entry {
        FileStamp stamp;
        std::filesystem::path file;
        std::optional<CachedDuration> measured; // nothing: found in the cache, only seen again
        std::int64_t seenBefore = 0;            // for a found one, when it was last seen
    };
    // How long a found entry goes before its "seen" date is renewed: warm runs write nothing.
    static constexpr std::int64_t renewSeenAfterSeconds = 7 * 24 * 3600;
    // Everything in one transaction; the reason when it could not be written.
    std::optional<QString> store(const std::vector<Entry>& entries, const QString& failureContext);

    // The usual place: $XDG_CACHE_HOME/Quillmark/durations.sqlite.
    static std::filesystem::path defaultFile();

private:
    explicit DurationCache(QString connection);

    QString m_connection;
    std::unique_ptr<QSqlQuery> m_find; // prepared once: a run asks once per file
    struct Row {
        CachedDuration duration;
        QByteArray failedPath;
        QString context;
    };
    std::optional<std::map<std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::int64_t,
                                      std::int64_t, QByteArray>,
                           Row>>
        m_preloaded;
};

} // namespace quillmark
