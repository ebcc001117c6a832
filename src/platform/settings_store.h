#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace quillmark {

// The per-user key-value store behind the preferences; tests put a temporary file behind it.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool contains(const QString& key) const = 0;
    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;

    // Why the stored settings could not be read, when they could not: the store then starts
    // empty and keeps what it is given for this run only.
    virtual std::optional<QString> problem() const { return std::nullopt; }
};

} // namespace quillmark
