#include "app/app_preferences.h"

#include "model/playback_speed.h"
#include "platform/folder_token.h"
#include "platform/paths.h"

#include <QCoreApplication>

namespace quillmark {

namespace {

const QString hideEmptyFoldersKey = QStringLiteral("hide_empty_folders");
const QString lastFolderKey = QStringLiteral("last_folder");
const QString lastFolderTokenKey = QStringLiteral("last_folder_bookmark");
const QString ffprobePathKey = QStringLiteral("ffprobe_path");
const QString sortByDurationKey = QStringLiteral("sort_by_duration");
const QString playbackSpeedKey = QStringLiteral("playback_speed");
const QString recentFoldersKey = QStringLiteral("recent_folders");
constexpr qsizetype recentFolderLimit = 8;

} // namespace

AppPreferences::AppPreferences(SettingsStore& store)
    : m_store(store)
{
}

bool AppPreferences::hideEmptyFolders() const
{
    if (!m_store.contains(hideEmptyFoldersKey))
        return true;
    return m_store.value(hideEmptyFoldersKey).toBool();
}

void AppPreferences::setHideEmptyFolders(bool hide)
{
    m_store.setValue(hideEmptyFoldersKey, hide);
}

std::optional<std::filesystem::path> restoreFolder(const StoredFolder& stored)
{
    if (!stored.token.isEmpty()) {
        if (auto folder = resolveFolderToken(stored.token))
            return folder;
    }
    return stored.path;
}

StoredFolder AppPreferences::lastFolder() const
{
    const QVariant path = m_store.value(lastFolderKey);
    return StoredFolder{path.isValid()
                            ? std::optional(normalizedPath(path.toString().toStdString()))
                            : std::nullopt,
                        m_store.value(lastFolderTokenKey).toByteArray()};
}

bool AppPreferences::sortByDuration() const
{
    return m_store.value(sortByDurationKey).toBool();
}

int AppPreferences::playbackSpeed() const
{
    const QVariant stored = m_store.value(playbackSpeedKey);
    return knownPlaybackSpeed(stored.isValid() ? stored.toInt() : 100);
}

void AppPreferences::setPlaybackSpeed(int hundredths)
{
    m_store.setValue(playbackSpeedKey, knownPlaybackSpeed(hundredths));
}

void AppPreferences::setSortByDuration(bool byDuration)
{
    m_store.setValue(sortByDurationKey, byDuration);
}

void AppPreferences::rememberFolder(const std::filesystem::path& folder,
                                    const std::optional<std::filesystem::path>& replacing)
{
    m_store.setValue(lastFolderKey, QString::fromStdString(folder.native()));
    QByteArrayList recent = storedRecentFolders();
    const QByteArray bytes = QByteArray::fromStdString(folder.native());
    recent.removeAll(bytes);
    if (replacing)
        recent.removeAll(QByteArray::fromStdString(replacing->native()));
    recent.prepend(bytes);
    storeRecentFolders(recent.mid(0, recentFolderLimit));
}

void AppPreferences::rememberFolderToken(const std::filesystem::path& folder,
                                         const QByteArray& token)
{
    // Compared as stored: a name that is not UTF-8 is not stored exactly, the token keeps it.
    if (!token.isEmpty() &&
        m_store.value(lastFolderKey).toString() == QString::fromStdString(folder.native()))
        m_store.setValue(lastFolderTokenKey, token);
}

std::vector<std::filesystem::path> AppPreferences::recentFolders() const
{
    std::vector<std::filesystem::path> folders;
    for (const QByteArray& bytes : storedRecentFolders())
        folders.push_back(bytes.toStdString());
    return folders;
}

// Raw bytes, so that a folder whose name is not UTF-8 is found again. No more than the app keeps:
// a settings file from elsewhere may list thousands, and each becomes a check and a menu entry.
QByteArrayList AppPreferences::storedRecentFolders() const
{
    QByteArrayList folders;
    for (const QVariant& value : m_store.value(recentFoldersKey).toList()) {
        QByteArray bytes = value.toByteArray();
        if (!bytes.isEmpty() && !folders.contains(bytes))
            folders.append(std::move(bytes));
        if (folders.size() == recentFolderLimit)
            break;
    }
    return folders;
}

void AppPreferences::storeRecentFolders(const QByteArrayList& folders)
{
    QVariantList values;
    for (const QByteArray& folder : folders)
        values.append(folder);
    m_store.setValue(recentFoldersKey, values);
}

std::optional<std::filesystem::path> AppPreferences::ffprobePath() const
{
    const QString path = m_store.value(ffprobePathKey).toString();
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return normalizedPath(path.toStdString());
}

std::optional<QString> AppPreferences::ffprobePathProblem() const
{
    const QString path = m_store.value(ffprobePathKey).toString();
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return QCoreApplication::translate("AppPreferences",
                                       "ffprobe_path ignorato: «%1» non è un percorso assoluto, "
                                       "ffprobe viene cercato nei percorsi abituali.")
        .arg(path);
}

} // namespace quillmark
