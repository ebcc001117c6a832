#include "app/app_preferences.h"

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

std::optional<std::filesystem::path> AppPreferences::restoredFolder() const
{
    const QByteArray token = m_store.value(lastFolderTokenKey).toByteArray();
    if (!token.isEmpty()) {
        if (auto folder = resolveFolderToken(token))
            return folder;
    }
    const QVariant path = m_store.value(lastFolderKey);
    if (!path.isValid())
        return std::nullopt;
    return normalizedPath(path.toString().toStdString());
}

bool AppPreferences::sortByDuration() const
{
    return m_store.value(sortByDurationKey).toBool();
}

void AppPreferences::setSortByDuration(bool byDuration)
{
    m_store.setValue(sortByDurationKey, byDuration);
}

void AppPreferences::rememberFolder(const std::filesystem::path& folder)
{
    m_store.setValue(lastFolderKey, QString::fromStdString(folder.native()));
    const QByteArray token = makeFolderToken(folder);
    if (!token.isEmpty())
        m_store.setValue(lastFolderTokenKey, token);

    QByteArrayList recent = storedRecentFolders();
    const QByteArray bytes = QByteArray::fromStdString(folder.native());
    recent.removeAll(bytes);
    recent.prepend(bytes);
    storeRecentFolders(recent.mid(0, recentFolderLimit));
}

// A folder that is not there now (an unmounted share, an unplugged disk) is not offered but
// stays remembered, so that it is back once its disk is.
std::vector<std::filesystem::path> AppPreferences::recentFolders() const
{
    std::vector<std::filesystem::path> folders;
    for (const QByteArray& bytes : storedRecentFolders()) {
        std::error_code error;
        const std::filesystem::path folder = bytes.toStdString();
        if (std::filesystem::is_directory(folder, error))
            folders.push_back(folder);
    }
    return folders;
}

// Raw bytes, so that a folder whose name is not UTF-8 is found again.
QByteArrayList AppPreferences::storedRecentFolders() const
{
    QByteArrayList folders;
    for (const QVariant& value : m_store.value(recentFoldersKey).toList())
        folders.append(value.toByteArray());
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
