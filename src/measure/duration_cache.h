#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

class QSqlQuery;
class QVariant;

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
// What stat or fstat said of a file.
FileStamp stampOf(const struct stat& info);

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
//
// The cache is only used from a folder and a file of the user's that nobody else may write to
// (a row planted by another user would forge a total), and only what a measurement can give is
// read back. Reading never waits for another program's write. Only a file that fails its
// integrity check is damaged: it is set aside under a name of its own, and a new cache made; any
// other failure (a full disk, no descriptors left) leaves the cache as it is, unused this time.
// One object belongs to the thread that opened it.
class DurationCache {
public:
    // Nothing, with the reason, when there is no usable cache.
    static std::unique_ptr<DurationCache> open(const std::filesystem::path& file, QString& problem);
    ~DurationCache();
    DurationCache(const DurationCache&) = delete;
    DurationCache& operator=(const DurationCache&) = delete;

    std::optional<CachedDuration> find(const FileStamp& stamp, const std::filesystem::path& file,
                                       const QString& failureContext);
    // Reads every row at once, so that the finds that follow need no query each, unless the cache
    // holds more than `rowLimit` rows: then it reads no more than that, and each find asks alone.
    // A run of many files thus pays for its own files, however many other rows the cache holds.
    void preload(std::size_t rowLimit);

    struct Entry {
        FileStamp stamp;
        std::filesystem::path file;
        std::optional<CachedDuration> measured; // nothing: found in the cache, only seen again
        std::int64_t seenBefore = 0;            // for a found one, when it was last seen
    };
    // How long a found entry goes before its "seen" date is renewed: warm runs write nothing.
    static constexpr std::int64_t renewSeenAfterSeconds = 7 * 24 * 3600;
    // How long a write waits for another program that holds the cache: it runs after the run,
    // so the wait holds nothing up.
    static constexpr int writeWaitMilliseconds = 5000;
    // Everything in one transaction, the pruning of entries not seen for long included; none when
    // there is nothing to write. The reason when it could not be written.
    std::optional<QString> store(const std::vector<Entry>& entries, const QString& failureContext);

    // The usual place: $XDG_CACHE_HOME/Quillmark/durations.sqlite.
    static std::filesystem::path defaultFile();

private:
    explicit DurationCache(QString connection);

    // A row as read, checked to hold what a measurement gives: seconds a whole number from zero
    // up, a failure's message and path text and bytes. Anything else is no row.
    struct Row {
        CachedDuration duration;
        QByteArray failedPath;
        QString context; // a failure's
    };
    static std::optional<Row> checked(const QVariant& seconds, const QVariant& error,
                                      const QVariant& failedPath, const QVariant& context,
                                      const QVariant& seen);
    using Key = std::tuple<qint64, qint64, qint64, qint64, qint64, std::string>;
    static Key keyOf(const FileStamp& stamp, const std::filesystem::path& file);
    static std::optional<CachedDuration> accepted(const Row& row, const std::filesystem::path& file,
                                                  const QString& failureContext);

    QString m_connection;
    std::unique_ptr<QSqlQuery> m_find; // prepared once: a run asks once per file
    std::optional<std::map<Key, Row>> m_preloaded;
};

} // namespace quillmark
