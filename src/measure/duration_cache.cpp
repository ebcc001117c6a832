#include "measure/duration_cache.h"

#include "platform/move_without_replacing.h"
#include "platform/posix.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quillmark {

namespace {

constexpr qint64 pruneAfterSeconds = 183LL * 24 * 3600;
// Raised whenever the table changes shape or meaning; a cache of another version is made anew,
// except one of version 2, which also kept failures of the moment: it keeps its durations.
constexpr int schemaVersion = 3;
constexpr int withFailuresOfTheMoment = 2;

QString unusable(const QString& reason)
{
    return QCoreApplication::translate("DurationCache", "cache delle durate non disponibile (%1)")
        .arg(reason);
}

QString busyMessage()
{
    return QCoreApplication::translate("DurationCache",
                                       "cache delle durate occupata da un altro programma: le "
                                       "nuove durate non sono state salvate");
}

std::int64_t nanoseconds(const timespec& time)
{
    return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// What a failed statement says of the cache. Busy: another program holds it, which says nothing
// against the file. Damaged: SQLite found the file is not (or no longer) a sound database.
// Anything else (no room on the disk, no descriptor left, a file that cannot be opened) says
// nothing about the file either.
enum class Failure { busy, damaged, other };

Failure failureOf(const QSqlError& error)
{
    constexpr int sqliteBusy = 5;
    constexpr int sqliteLocked = 6;
    constexpr int sqliteCorrupt = 11;
    constexpr int sqliteNotADatabase = 26;
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case sqliteBusy:
    case sqliteLocked:
        return Failure::busy;
    case sqliteCorrupt:
    case sqliteNotADatabase:
        return Failure::damaged;
    default:
        return Failure::other;
    }
}

// Why the cache must not be used, if it must not: its folder, the file or its journal belongs to
// another user, or is of the wrong kind. The user's own folder and files that a umask left open
// to others are closed again; a new folder is made private.
std::optional<QString> untrusted(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.parent_path();
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return QString::fromLocal8Bit(std::strerror(errno));
    std::filesystem::path journal = file;
    journal += "-wal";
    std::filesystem::path shared = file;
    shared += "-shm";
    for (const std::filesystem::path& path : {folder, file, journal, shared}) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT && path != folder)
                continue;
            return QString::fromLocal8Bit(std::strerror(errno));
        }
        const bool rightKind = path == folder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
        if (!rightKind || info.st_uid != ::geteuid())
            return QCoreApplication::translate("DurationCache",
                                               "%1 non è un file o una cartella dell'utente")
                .arg(QString::fromStdString(path.native()));
        if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0 &&
            ::chmod(path.c_str(), info.st_mode & 07755 & ~mode_t(S_IWGRP | S_IWOTH)) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    return std::nullopt;
}

// Sets a damaged cache aside under a name no earlier copy has, with its journal, which would
// otherwise be replayed into the new cache.
bool setAside(const std::filesystem::path& file)
{
    for (int copy = 1; copy < 100; ++copy) {
        std::filesystem::path aside = file;
        aside += copy == 1 ? ".danneggiato" : ".danneggiato-" + std::to_string(copy);
        try {
            moveWithoutReplacing(file, aside);
        } catch (const std::system_error& error) {
            if (error.code() == std::errc::file_exists)
                continue;
            return false;
        }
        for (const char* suffix : {"-wal", "-shm"}) {
            std::filesystem::path from = file;
            from += suffix;
            std::filesystem::path to = aside;
            to += suffix;
            std::error_code error;
            std::filesystem::rename(from, to, error);
            if (error && error != std::errc::no_such_file_or_directory)
                std::filesystem::remove(from, error);
        }
        syncFolder(file.parent_path());
        return true;
    }
    return false;
}

// Runs a statement, trying again for a while when another program holds the lock: SQLite does
// not always wait by itself (a change of journal mode fails at once).
bool execWaiting(QSqlQuery& query, const char* statement)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!query.exec(QLatin1String(statement))) {
        if (failureOf(query.lastError()) != Failure::busy ||
            std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Makes the table when the file holds none of this version; reading needs no lock, so a cache
// that is already there is ready without waiting for anyone.
std::optional<QSqlError> prepare(QSqlDatabase& database)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return query.lastError();
    const int version = query.value(0).toInt();
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")))
        return query.lastError();
    if (version == schemaVersion)
        return std::nullopt;
    if (!execWaiting(query, "PRAGMA journal_mode=WAL"))
        return query.lastError();
    query.finish();
    // A cache of an earlier kind is only a cache: it is made anew, in one transaction, which a
    // second program starting at once finds done.
    const std::vector<const char*> madeAnew{
        "BEGIN IMMEDIATE", "DROP TABLE IF EXISTS durations",
        "CREATE TABLE durations (device INTEGER NOT NULL, inode INTEGER NOT NULL, size INTEGER "
        "NOT NULL, modified INTEGER NOT NULL, changed INTEGER NOT NULL, extension BLOB NOT NULL, "
        "seconds INTEGER NOT NULL, error TEXT, failed_path BLOB, context TEXT, seen "
        "INTEGER NOT NULL, PRIMARY KEY (device, inode, size, modified, changed, extension)) "
        "WITHOUT ROWID",
        "PRAGMA user_version = 3", "COMMIT"};
    const std::vector<const char*> withoutFailures{"BEGIN IMMEDIATE",
                                                   "DELETE FROM durations WHERE error IS NOT NULL",
                                                   "PRAGMA user_version = 3", "COMMIT"};
    for (const char* statement : version == withFailuresOfTheMoment ? withoutFailures : madeAnew) {
        if (!query.exec(QLatin1String(statement))) {
            const QSqlError error = query.lastError();
            query.exec(QStringLiteral("ROLLBACK"));
            return error;
        }
    }
    return std::nullopt;
}

// Whether a cache that failed for no stated reason is damaged after all: only then is it set
// aside. Checked only on a failure, since it reads the whole file.
bool failsItsIntegrityCheck(QSqlDatabase& database)
{
    QSqlQuery check(database);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")))
        return failureOf(check.lastError()) == Failure::damaged;
    return check.next() && check.value(0).toString() != QLatin1String("ok");
}

// The lower-case extension of the file's name: the probe takes a hint from it, so the same bytes
// under another extension are measured anew.
std::string extensionOf(const std::filesystem::path& file)
{
    const std::string& path = file.native();
    const std::size_t nameStart = path.rfind('/') + 1; // 0 when there is no slash
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        return {};
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

QByteArray bytesOf(const std::filesystem::path& file)
{
    return QByteArray::fromStdString(file.native());
}

QByteArray bytesOf(const std::string& text)
{
    return QByteArray::fromStdString(text);
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
    query.bindValue(first + 5, bytesOf(extensionOf(file)));
}

bool isInteger(const QVariant& value)
{
    return !value.isNull() && value.typeId() == QMetaType::LongLong;
}

} // namespace

FileStamp stampOf(const struct stat& info)
{
    return FileStamp{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino),
                     std::int64_t(info.st_size), nanoseconds(info.st_mtim),
                     nanoseconds(info.st_ctim)};
}

std::optional<FileStamp> fileStamp(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return stampOf(info);
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
    if (const auto reason = untrusted(file)) {
        problem = unusable(*reason);
        return nullptr;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString name = QStringLiteral("quillmark-cache-%1").arg(++connections);
        Failure failure = Failure::other;
        {
            QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            database.setDatabaseName(QString::fromStdString(file.native()));
            database.setConnectOptions(
                QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(writeWaitMilliseconds));
            std::optional<QSqlError> error;
            if (!database.open())
                error = database.lastError();
            else
                error = prepare(database);
            if (!error) {
                if (attempt > 0)
                    problem = QCoreApplication::translate(
                        "DurationCache",
                        "la cache delle durate era danneggiata ed è stata rifatta");
                return std::unique_ptr<DurationCache>(new DurationCache(name));
            }
            failure = failureOf(*error);
            if (failure == Failure::other && database.isOpen() && failsItsIntegrityCheck(database))
                failure = Failure::damaged;
            problem = failure == Failure::busy ? busyMessage() : unusable(error->text());
            database.close();
        }
        QSqlDatabase::removeDatabase(name);
        if (failure != Failure::damaged || !setAside(file))
            return nullptr;
    }
    return nullptr;
}

DurationCache::Key DurationCache::keyOf(const FileStamp& stamp, const std::filesystem::path& file)
{
    return Key(qint64(stamp.device), qint64(stamp.inode), qint64(stamp.size),
               qint64(stamp.modifiedNs), qint64(stamp.changedNs), extensionOf(file));
}

std::optional<DurationCache::Row>
DurationCache::checked(const QVariant& seconds, const QVariant& error, const QVariant& failedPath,
                       const QVariant& context, const QVariant& seen)
{
    // Only what a measurement can give is taken: an edited row cannot forge a total.
    if (!isInteger(seconds) || seconds.toLongLong() < 0)
        return std::nullopt;
    Row row{{seconds.toLongLong(), std::nullopt, isInteger(seen) ? seen.toLongLong() : 0}, {}, {}};
    if (error.isNull())
        return row;
    if (error.typeId() != QMetaType::QString || failedPath.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    row.duration.error = error.toString();
    row.failedPath = failedPath.toByteArray();
    row.context = context.toString();
    return row;
}

void DurationCache::preload(std::size_t rowLimit)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT device, inode, size, modified, changed, extension, "
                                 "seconds, error, failed_path, context, seen FROM durations "
                                 "LIMIT ?"));
    query.bindValue(0, qint64(rowLimit) + 1);
    if (!query.exec())
        return;
    std::map<Key, Row> rows;
    std::size_t read = 0;
    while (query.next()) {
        if (read++ == rowLimit)
            return; // more rows than are worth reading: each file is asked for alone
        auto row = checked(query.value(6), query.value(7), query.value(8), query.value(9),
                           query.value(10));
        if (!row)
            continue;
        const QByteArray extension = query.value(5).toByteArray();
        rows.insert_or_assign(
            Key(query.value(0).toLongLong(), query.value(1).toLongLong(),
                query.value(2).toLongLong(), query.value(3).toLongLong(),
                query.value(4).toLongLong(),
                std::string(extension.constData(), std::size_t(extension.size()))),
            std::move(*row));
    }
    m_preloaded = std::move(rows);
}

std::optional<CachedDuration> DurationCache::find(const FileStamp& stamp,
                                                  const std::filesystem::path& file,
                                                  const QString& failureContext)
{
    if (m_preloaded) {
        const auto row = m_preloaded->find(keyOf(stamp, file));
        return row == m_preloaded->end() ? std::nullopt
                                         : accepted(row->second, file, failureContext);
    }
    if (!m_find) {
        m_find = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
        m_find->setForwardOnly(true);
        m_find->prepare(QStringLiteral(
            "SELECT seconds, error, failed_path, context, seen FROM durations WHERE device = ? AND "
            "inode = ? AND size = ? AND modified = ? AND changed = ? AND extension = ?"));
    }
    QSqlQuery& query = *m_find;
    bindKey(query, stamp, file);
    if (!query.exec() || !query.next()) {
        query.finish();
        return std::nullopt;
    }
    const auto row =
        checked(query.value(0), query.value(1), query.value(2), query.value(3), query.value(4));
    query.finish();
    return row ? accepted(*row, file, failureContext) : std::nullopt;
}

// A failure's message names the file it was measured under, and was given with that fallback and
// language: under another name (a hard link, a renamed folder, a bind mount) or with another
// fallback it is measured again.
std::optional<CachedDuration> DurationCache::accepted(const Row& row,
                                                      const std::filesystem::path& file,
                                                      const QString& failureContext)
{
    if (row.duration.error && (row.failedPath != bytesOf(file) || row.context != failureContext))
        return std::nullopt;
    return row.duration;
}

std::optional<QString> DurationCache::store(const std::vector<Entry>& entries,
                                            const QString& failureContext)
{
    QSqlDatabase database = QSqlDatabase::database(m_connection, false);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    // A run that found everything, seen lately, writes nothing: no transaction, no sync.
    if (std::none_of(entries.begin(), entries.end(), [now](const Entry& entry) {
            return entry.measured || now - entry.seenBefore >= renewSeenAfterSeconds;
        }))
        return std::nullopt;
    QSqlQuery begin(database);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failureOf(begin.lastError()) == Failure::busy ? busyMessage()
                                                             : unusable(begin.lastError().text());
    QSqlQuery prune(database);
    prune.prepare(QStringLiteral("DELETE FROM durations WHERE seen < ?"));
    prune.bindValue(0, now - pruneAfterSeconds);
    QSqlQuery insert(database);
    insert.prepare(QStringLiteral("INSERT OR REPLACE INTO durations VALUES (?, ?, ?, ?, ?, ?, ?, "
                                  "?, ?, ?, ?)"));
    QSqlQuery touch(database);
    touch.prepare(
        QStringLiteral("UPDATE durations SET seen = ? WHERE device = ? AND inode = ? "
                       "AND size = ? AND modified = ? AND changed = ? AND extension = ?"));
    auto failed = [&](const QSqlQuery& query) {
        const QString reason = query.lastError().text();
        begin.exec(QStringLiteral("ROLLBACK"));
        return unusable(reason);
    };
    if (!prune.exec())
        return failed(prune);
    for (const Entry& entry : entries) {
        if (entry.measured) {
            const bool measuredAFailure = entry.measured->error.has_value();
            bindKey(insert, entry.stamp, entry.file);
            insert.bindValue(6, qint64(entry.measured->seconds));
            insert.bindValue(7, measuredAFailure ? QVariant(*entry.measured->error)
                                                 : QVariant(QMetaType(QMetaType::QString)));
            insert.bindValue(8, measuredAFailure ? QVariant(bytesOf(entry.file))
                                                 : QVariant(QMetaType(QMetaType::QByteArray)));
            insert.bindValue(9, measuredAFailure ? QVariant(failureContext)
                                                 : QVariant(QMetaType(QMetaType::QString)));
            insert.bindValue(10, now);
            if (!insert.exec())
                return failed(insert);
        } else if (now - entry.seenBefore >= renewSeenAfterSeconds) {
            touch.bindValue(0, now);
            bindKey(touch, entry.stamp, entry.file, 1);
            if (!touch.exec())
                return failed(touch);
        }
    }
    if (!begin.exec(QStringLiteral("COMMIT")))
        return failed(begin);
    return std::nullopt;
}

} // namespace quillmark
