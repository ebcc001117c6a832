#include "platform/qsettings_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace quillmark {

namespace {

// Why the file must not be read; nothing when it may (also when it does not exist yet).
std::optional<QString> unfitToRead(const QString& file)
{
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return std::nullopt;
    const char* reason = nullptr;
    if (!S_ISREG(info.st_mode))
        reason = QT_TRANSLATE_NOOP("Settings", "non è un file normale");
    else if (info.st_size > QSettingsStore::sizeLimit)
        reason = QT_TRANSLATE_NOOP("Settings", "è troppo grande");
    if (!reason)
        return std::nullopt;
    return QCoreApplication::translate("Settings",
                                       "Impostazioni non lette: %1 %2; valgono quelle predefinite "
                                       "e le modifiche non vengono salvate.")
        .arg(file, QCoreApplication::translate("Settings", reason));
}

std::unique_ptr<QSettings> settingsIn(const QString& file, std::optional<QString>& problem)
{
    problem = unfitToRead(file);
    if (problem)
        return nullptr;
    return std::make_unique<QSettings>(file, QSettings::NativeFormat);
}

} // namespace

QSettingsStore::QSettingsStore()
    : QSettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                     QStringLiteral("/Quillmark/Quillmark.conf"))
{
}

QSettingsStore::QSettingsStore(const QString& file)
    : m_settings(settingsIn(file, m_problem))
{
}

bool QSettingsStore::contains(const QString& key) const
{
    return m_settings ? m_settings->contains(key) : m_inMemory.contains(key);
}

QVariant QSettingsStore::value(const QString& key) const
{
    return m_settings ? m_settings->value(key) : m_inMemory.value(key);
}

void QSettingsStore::setValue(const QString& key, const QVariant& value)
{
    if (!m_settings) {
        m_inMemory.insert(key, value);
        return;
    }
    m_settings->setValue(key, value);
    // Written through at once, so that a crash or a second window never sees an older value.
    m_settings->sync();
}

} // namespace quillmark
