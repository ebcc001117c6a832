#include "scan/extensions.h"

#include "model/path_text.h"
#include "model/plain_text.h"

namespace quillmark {

namespace {

// The part of the name after its last full stop. A name whose only full stop is its first
// character (".mp4", ".bashrc") is a hidden file without an extension.
QString pathExtension(const std::filesystem::path& file)
{
    const QString name = lastPathComponent(file);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {};
    return name.sliced(dot + 1);
}

} // namespace

const QStringList& defaultExtensions()
{
    static const QStringList extensions{
        QStringLiteral(".mp4"), QStringLiteral(".mkv"), QStringLiteral(".mov"),
        QStringLiteral(".f4v"), QStringLiteral(".flv"), QStringLiteral(".avi"),
    };
    return extensions;
}

QStringList parseExtensions(const QString& text)
{
    QStringList extensions;
    for (QStringView piece : QStringView(text).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QString entry = trimmedHorizontally(piece).toString();
        if (entry.isEmpty())
            continue;
        if (!entry.startsWith(QLatin1Char('.')))
            entry.prepend(QLatin1Char('.'));
        extensions.append(entry.toLower());
    }
    return extensions.isEmpty() ? defaultExtensions() : extensions;
}

bool matchesExtension(const std::filesystem::path& file, const QStringList& extensions)
{
    const QString extension = pathExtension(file);
    if (extension.isEmpty())
        return false;
    return extensions.contains(QLatin1Char('.') + extension.toLower());
}

} // namespace quillmark
