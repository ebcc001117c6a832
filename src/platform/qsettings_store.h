#pragma once

#include "platform/settings_store.h"

#include <QSettings>

namespace quillmark {

// Settings in QSettings: by default the user's own file, ~/.config/Quillmark/Quillmark.conf.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    // A store in the given file, for tests and tools.
    explicit QSettingsStore(const QString& file);

    bool contains(const QString& key) const override;
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;

private:
    QSettings m_settings;
};

} // namespace quillmark
