#pragma once

#include "platform/settings_store.h"

#include <QSettings>
#include <QVariantMap>

#include <memory>

namespace quillmark {

// Settings in QSettings: by default the user's own file, ~/.config/Quillmark/Quillmark.conf. A
// file that is not a regular file (a FIFO would block the start for ever) or is far larger than
// any settings file is left alone: the store then lives in memory for this run.
class QSettingsStore final : public SettingsStore {
public:
    QSettingsStore();
    // A store in the given file, for tests and tools.
    explicit QSettingsStore(const QString& file);

    bool contains(const QString& key) const override;
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    std::optional<QString> problem() const override { return m_problem; }

    // Far above what the preferences ever hold (a few kilobytes).
    static constexpr qint64 sizeLimit = 1024 * 1024;

private:
    std::optional<QString> m_problem;      // first: the constructor sets it while making m_settings
    std::unique_ptr<QSettings> m_settings; // nothing: the file was not fit to read
    QVariantMap m_inMemory;
};

} // namespace quillmark
