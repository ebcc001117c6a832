#include "platform/duration_cache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>
#include <chrono>
#include <memory>
#include <sys/stat.h>
#include <thread>

namespace quillmark {

namespace {

constexpr qint64 pruneAfterSeconds = 183LL * 24 * 3600;
// Raised whenever the table changes shape; a cache of another version is made anew.
constexpr int schemaVersion = 2;

std::int64_t nanoseconds(const timespec& time)
{
    return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

QString unusable(const QString& reason)
{
    return QCoreApplication::translate("DurationCache", "cache delle durate non disponibile (%1)")
        .arg(reason);
}

// What opening found. Busy: another program held the cache locked for longer than the wait,
// which says nothing against the file.
enum class Opening { ready, damaged, busy };

Opening failureOf(const QSqlQuery& query)
{
    constexpr int sqliteBusy = 5;
    constexpr int sqliteLocked = 6;
    const int code = query.lastError().nativeErrorCode().toInt() & 0xff;
    return code == sqliteBusy || code == sqliteLocked ? Opening::busy : Opening::damaged;
}

// Runs a statement, trying again for a while when another program holds the lock: SQLite does
// not always wait by itself (a change of journal mode fails at once).
bool execWaiting(QSqlQuery& query, const char* statement)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!query.exec(QLatin1String(statement))) {
        if (failureOf(query) != Opening::busy || std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Creates the table; damaged when the file is not a database or cannot be used. `error` is the
// reason of a failed statement.
Opening prepare(QSqlDatabase& database, QString& error)
{
    QSqlQuery query(database);
    const auto failed = [&] {
        error = query.lastError().text();
        return failureOf(query);
    };
    if (!execWaiting(query, "PRAGMA busy_timeout=3000") ||
        !execWaiting(query, "PRAGMA quick_check"))
        return failed();
    if (!query.next() || query.value(0).toString() != QLatin1String("ok"))
        return Opening::damaged;
    query.finish(); // before the journal mode changes, which no open statement may see
    for (const char* statement : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}) {
        if (!execWaiting(query, statement))
            return failed();
        query.finish();
    }
    if (!execWaiting(query, "PRAGMA user_version") || !query.next())
        return failed();
    const int version = query.value(0).toInt();
    query.finish();
    if (version == schemaVersion)
        return Opening::ready;
    // A cache of an earlier kind is only a cache: it is made anew, in one transaction, so that
    // two programs starting at once cannot both do it.
    if (!execWaiting(query, "BEGIN IMMEDIATE"))
        return failed();
    for (const char* statement :
         {"DROP TABLE IF EXISTS durations",
          "CREATE TABLE durations (device INTEGER NOT NULL, inode INTEGER NOT NULL, size INTEGER "
          "NOT NULL, modified INTEGER NOT NULL, changed INTEGER NOT NULL, extension BLOB NOT NULL, "
          "seconds INTEGER NOT NULL, error TEXT, failed_path BLOB, context TEXT NOT NULL, seen "
          "INTEGER NOT NULL, PRIMARY KEY (device, inode, size, modified, changed, extension)) "
          "WITHOUT ROWID",
          "PRAGMA user_version = 2", "COMMIT"}) {
        if (!query.exec(QLatin1String(statement))) {
            error = query.lastError().text();
            query.exec(QStringLiteral("ROLLBACK"));
            return Opening::damaged;
        }
    }
    return Opening::ready;
}

// The lower-case extension of the file's name: the probe takes a hint from it, so the same bytes
// under another extension are measured anew.
QByteArray extensionOf(const std::filesystem::path& file)
{
    const std::string name = file.filename().native();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return QByteArray("");
    return QByteArray::fromStdString(name.substr(dot + 1)).toLower();
}

QByteArray bytesOf(const std::filesystem::path& file)
{
    return QByteArray::fromStdString(file.native());
}

// By position: a prepared query is run once per file, and values added with addBindValue would
// pile up from one run to the next.
void bindKey(QSqlQuery& query, const FileStamp& stamp, const std::filesystem::path& file,
             int first = 0)
{
    query.bindValue(first, qint64(stamp.device));
    query.bindValue(first + 1, qint64(stamp.inode));
    query.bindValue(first + 2, qint64(stamp.size));
    query.bindValue(first + 3, qint64(stamp.modifiedNs));
    query.bindValue(first + 4, qint64(stamp.changedNs));
    query.bindValue(first + 5, extensionOf(file));
}

} // namespace

std::optional<FileStamp> fileStamp(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino),
                     std::int64_t(info.st_size), nanoseconds(info.st_mtim),
                     nanoseconds(info.st_ctim)};
}

std::filesystem::path DurationCache::defaultFile()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return (base + QStringLiteral("/Quillmark/durations.sqlite")).toStdString();
}

DurationCache::DurationCache(QString connection)
    : m_connection(std::move(connection))
{
}

DurationCache::~DurationCache()
{
    m_find.reset();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

std::unique_ptr<DurationCache> DurationCache::open(const std::filesystem::path& file,
                                                   QString& problem)
{
    static std::atomic<int> connections = 0;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString name = QStringLiteral("quillmark-cache-%1").arg(++connections);
        Opening opening = Opening::damaged;
        {
            QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            database.setDatabaseName(QString::fromStdString(file.native()));
            QString reason;
            if (database.open())
                opening = prepare(database, reason);
            if (opening == Opening::ready) {
                if (attempt > 0)
                    problem = QCoreApplication::translate(
                        "DurationCache",
                        "la cache delle durate era danneggiata ed è stata rifatta");
                auto cache = std::unique_ptr<DurationCache>(new DurationCache(name));
                QSqlQuery prune(database);
                prune.prepare(QStringLiteral("DELETE FROM durations WHERE seen < ?"));
                prune.bindValue(0, QDateTime::currentSecsSinceEpoch() - pruneAfterSeconds);
                prune.exec();
                return cache;
            }
            if (opening == Opening::damaged)
                reason = database.lastError().text().isEmpty() ? QStringLiteral("file danneggiato")
                                                               : database.lastError().text();
            problem = unusable(reason);
            database.close();
        }
        QSqlDatabase::removeDatabase(name);
        if (opening == Opening::busy)
            return nullptr; // another program's, and sound: never set aside
        // Set aside whatever is there, so that a new cache can be made; a file that cannot even
        // be moved leaves the run without a cache.
        std::filesystem::path aside = file;
        aside += ".danneggiato";
        std::filesystem::rename(file, aside, error);
        if (error)
            return nullptr;
    }
    return nullptr;
}

void DurationCache::preload()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT device, inode, size, modified, changed, extension, "
                                   "seconds, error, failed_path, context, seen FROM durations")))
        return;
    m_preloaded.emplace();
    while (query.next()) {
        auto key = std::tuple(std::uint64_t(query.value(0).toLongLong()),
                              std::uint64_t(query.value(1).toLongLong()),
                              query.value(2).toLongLong(), query.value(3).toLongLong(),
                              query.value(4).toLongLong(), query.value(5).toByteArray());
        Row row{{query.value(6).toLongLong(), std::nullopt, query.value(10).toLongLong()},
                query.value(8).toByteArray(),
                query.value(9).toString()};
        if (!query.value(7).isNull())
            row.duration.error = query.value(7).toString();
        m_preloaded->insert_or_assign(std::move(key), std::move(row));
    }
}

std::optional<CachedDuration> DurationCache::find(const FileStamp& stamp,
                                                  const std::filesystem::path& file,
                                                  const QString& failureContext)
{
    std::optional<Row> found;
    if (m_preloaded) {
        const auto row =
            m_preloaded->find(std::tuple(stamp.device, stamp.inode, stamp.size, stamp.modifiedNs,
                                         stamp.changedNs, extensionOf(file)));
        if (row != m_preloaded->end())
            found = row->second;
    } else {
        if (!m_find) {
            m_find = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
            m_find->setForwardOnly(true);
            m_find->prepare(QStringLiteral(
                "SELECT seconds, error, failed_path, context, seen FROM durations WHERE device = ? "
                "AND inode = ? AND size = ? AND modified = ? AND changed = ? AND extension = ?"));
        }
        QSqlQuery& query = *m_find;
        bindKey(query, stamp, file);
        if (query.exec() && query.next()) {
            found = Row{{query.value(0).toLongLong(), std::nullopt, query.value(4).toLongLong()},
                        query.value(2).toByteArray(),
                        query.value(3).toString()};
            if (!query.value(1).isNull())
                found->duration.error = query.value(1).toString();
        }
        query.finish();
    }
    // Only what a measurement can give is taken: an edited file cannot forge a total.
    if (!found || found->duration.seconds < 0)
        return std::nullopt;
    // A failure's message names the file it was measured under, and was given with that fallback
    // and language: under another name (a hard link, a renamed folder, a bind mount) or with
    // another fallback it is measured again.
    if (found->duration.error &&
        (found->context != failureContext || found->failedPath != bytesOf(file)))
        return std::nullopt;
    return found->duration;
}

std::optional<QString> DurationCache::store(const std::vector<Entry>& entries,
                                            const QString& failureContext)
{
    QSqlDatabase database = QSqlDatabase::database(m_connection, false);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (!database.transaction())
        return unusable(database.lastError().text());
    QSqlQuery insert(database);
    insert.prepare(QStringLiteral("INSERT OR REPLACE INTO durations VALUES (?, ?, ?, ?, ?, ?, ?, "
                                  "?, ?, ?, ?)"));
    QSqlQuery touch(database);
    touch.prepare(
        QStringLiteral("UPDATE durations SET seen = ? WHERE device = ? AND inode = ? "
                       "AND size = ? AND modified = ? AND changed = ? AND extension = ?"));
    for (const Entry& entry : entries) {
        bool done = true;
        if (entry.measured) {
            const bool failed = entry.measured->error.has_value();
            bindKey(insert, entry.stamp, entry.file);
            insert.bindValue(6, qint64(entry.measured->seconds));
            insert.bindValue(7, failed ? QVariant(*entry.measured->error)
                                       : QVariant(QMetaType(QMetaType::QString)));
            insert.bindValue(8, failed ? QVariant(bytesOf(entry.file))
                                       : QVariant(QMetaType(QMetaType::QByteArray)));
            insert.bindValue(9, failureContext);
            insert.bindValue(10, now);
            done = insert.exec();
        } else if (now - entry.seenBefore >= renewSeenAfterSeconds) {
            touch.bindValue(0, now);
            bindKey(touch, entry.stamp, entry.file, 1);
            done = touch.exec();
        }
        if (!done) {
            const QString reason = (entry.measured ? insert : touch).lastError().text();
            database.rollback();
            return unusable(reason);
        }
    }
    if (!database.commit())
        return unusable(database.lastError().text());
    return std::nullopt;
}

} // namespace quillmark
