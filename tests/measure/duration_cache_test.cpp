#include "measure/duration_cache.h"
#include "support/printers.h"
#include "support/temp_tree.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

using test::TempTree;

FileStamp stamp(std::uint64_t inode)
{
    return FileStamp{1, inode, 10, 5, 5};
}

// Runs statements on the cache file as another program (or an attacker) would.
void edit(const std::filesystem::path& file, const QStringList& statements)
{
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("edit"));
        database.setDatabaseName(QString::fromStdString(file.native()));
        ASSERT_TRUE(database.open());
        QSqlQuery query(database);
        for (const QString& statement : statements)
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("edit"));
}

// A measurement is found by the file's stamp and extension; a failure, whose message names the
// file, only under the same path and with the same fallback. Only what a measurement can give is
// taken: a row edited to hold text, a blob, a fraction or a negative number is a miss.
TEST(DurationCacheTest, GivesBackOnlyWhatAMeasurementGave)
{
    const TempTree tree;
    QString problem;
    const auto file = tree.path("cache/durations.sqlite");
    {
        const auto cache = DurationCache::open(file, problem);
        ASSERT_TRUE(cache) << problem.toStdString();
        std::vector<DurationCache::Entry> entries{
            {stamp(1), "/v/a.mp4", CachedDuration{61, std::nullopt, 0}, 0},
            {stamp(2), "/v/b.mp4", CachedDuration{0, QStringLiteral("rotto"), 0}, 0}};
        for (std::uint64_t inode = 3; inode <= 6; ++inode)
            entries.push_back({stamp(inode), "/v/x.mp4", CachedDuration{300, std::nullopt, 0}, 0});
        EXPECT_EQ(cache->store(entries, QStringLiteral("ffprobe 1")), std::nullopt);
    }
    edit(file, {QStringLiteral("UPDATE durations SET seconds = 'abc' WHERE inode = 3"),
                QStringLiteral("UPDATE durations SET seconds = x'01' WHERE inode = 4"),
                QStringLiteral("UPDATE durations SET seconds = 360000.5 WHERE inode = 6"),
                QStringLiteral("UPDATE durations SET seconds = -5 WHERE inode = 5")});
    const auto cache = DurationCache::open(file, problem);
    ASSERT_TRUE(cache);
    const std::vector<std::tuple<std::uint64_t, const char*, QString>> expected{
        {1, "/v/a.mp4", QStringLiteral("61")},
        {1, "/w/altro.MP4", QStringLiteral("61")},
        {1, "/v/a.mkv", {}},
        {2, "/v/b.mp4", QStringLiteral("rotto")},
        {2, "/v/collegamento.mp4", {}},
        {3, "/v/x.mp4", {}},
        {4, "/v/x.mp4", {}},
        {5, "/v/x.mp4", {}},
        {6, "/v/x.mp4", {}},
        {7, "/v/x.mp4", {}}};
    for (const auto& [inode, path, answer] : expected) {
        const auto found = cache->find(stamp(inode), path, QStringLiteral("ffprobe 1"));
        EXPECT_EQ(found ? found->error.value_or(QString::number(found->seconds)) : QString(),
                  answer)
            << inode << path;
        EXPECT_EQ(bool(cache->find(stamp(inode), path, QStringLiteral("ffprobe 2"))),
                  answer == QStringLiteral("61"))
            << inode << path;
    }
}

// A cache in a folder or file of another user's is never read: its rows could be planted. The
// user's own folder left open by a umask is closed again, and used.
TEST(DurationCacheTest, OnlyTheUsersOwnCacheIsUsed)
{
    const TempTree tree;
    QString problem;
    const auto own = tree.path("own/durations.sqlite");
    std::filesystem::create_directory(tree.path("own"));
    ASSERT_EQ(::chmod(tree.path("own").c_str(), 0777), 0);
    EXPECT_TRUE(DurationCache::open(own, problem)) << problem.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(tree.path("own").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0055u);

    const auto theirs = tree.path("theirs/durations.sqlite");
    std::filesystem::create_directory(tree.path("theirs"));
    if (::chown(tree.path("theirs").c_str(), ::geteuid() + 1, ::getegid()) != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    EXPECT_FALSE(DurationCache::open(theirs, problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("non è un file o una cartella dell'utente")));
    ASSERT_EQ(::chown(tree.path("theirs").c_str(), ::geteuid(), ::getegid()), 0);
    EXPECT_TRUE(DurationCache::open(theirs, problem));
    ASSERT_EQ(::chown(theirs.c_str(), ::geteuid() + 1, ::getegid()), 0);
    EXPECT_FALSE(DurationCache::open(theirs, problem));
}

// Only a file that fails its integrity check is set aside, under a name no earlier copy has, and
// a new cache made. A journal that cannot be opened or a lack of descriptors leaves a sound cache
// where it is, unused this time.
TEST(DurationCacheTest, OnlyDamageSetsTheCacheAside)
{
    const TempTree tree;
    QString problem;
    const auto file = tree.path("durations.sqlite");
    {
        const auto cache = DurationCache::open(file, problem);
        ASSERT_TRUE(cache);
        EXPECT_EQ(cache->store({{stamp(1), "/v/a.mp4", CachedDuration{61, std::nullopt, 0}, 0}},
                               QStringLiteral("ffprobe")),
                  std::nullopt);
    }
    auto stillThere = [&] {
        const auto cache = DurationCache::open(file, problem);
        return cache && cache->find(stamp(1), "/v/a.mp4", QStringLiteral("ffprobe")).has_value();
    };

    std::filesystem::create_directory(tree.path("durations.sqlite-wal"));
    EXPECT_FALSE(DurationCache::open(file, problem));
    std::filesystem::remove(tree.path("durations.sqlite-wal"));
    EXPECT_TRUE(stillThere());

    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlim_t number = 0;
    for (int spare = 1; spare > 0; ++number)
        spare -= ::fcntl(int(number), F_GETFD) == -1 ? 1 : 0;
    const rlimit oneLeft{number, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &oneLeft), 0);
    const bool opened = bool(DurationCache::open(file, problem));
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(stillThere());
    EXPECT_FALSE(std::filesystem::exists(tree.path("durations.sqlite.danneggiato")));

    for (const char* aside : {"durations.sqlite.danneggiato", "durations.sqlite.danneggiato-2"}) {
        tree.file("durations.sqlite", std::string(4096, 'x'));
        EXPECT_TRUE(DurationCache::open(file, problem));
        EXPECT_EQ(problem,
                  QStringLiteral("la cache delle durate era danneggiata ed è stata rifatta"));
        EXPECT_EQ(test::contents(tree.path(aside)), std::string(4096, 'x')) << aside;
    }
}

} // namespace
} // namespace quillmark
