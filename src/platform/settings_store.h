#pragma once

#include <QString>
#include <QVariant>

namespace quillmark {

// The per-user key-value store behind the preferences; tests put a temporary file behind it.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool contains(const QString& key) const = 0;
    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
};

} // namespace quillmark
