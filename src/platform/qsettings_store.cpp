#include "platform/qsettings_store.h"

namespace quillmark {

QSettingsStore::QSettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillmark"),
                 QStringLiteral("Quillmark"))
{
}

QSettingsStore::QSettingsStore(const QString& file)
    : m_settings(file, QSettings::NativeFormat)
{
}

bool QSettingsStore::contains(const QString& key) const
{
    return m_settings.contains(key);
}

QVariant QSettingsStore::value(const QString& key) const
{
    return m_settings.value(key);
}

void QSettingsStore::setValue(const QString& key, const QVariant& value)
{
    m_settings.setValue(key, value);
    // Written through at once, so that a crash or a second window never sees an older value.
    m_settings.sync();
}

} // namespace quillmark
