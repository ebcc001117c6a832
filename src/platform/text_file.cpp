#include "platform/text_file.h"

#include "model/path_text.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

TextFileError tooLarge(const std::filesystem::path& file, qint64 limit)
{
    return TextFileError(
        QCoreApplication::translate("TextFile",
                                    "Il file «%1» è troppo grande: più di %2 MiB, non è un report.")
            .arg(lastPathComponent(file), QString::number(limit / (1024 * 1024)))
            .toStdString());
}

QByteArray readAll(const std::filesystem::path& file, qint64 limit)
{
    const OpenFile opened = openRegularFile(file);
    const FileDescriptor& fd = opened.fd;
    if (opened.info.st_size > limit)
        throw tooLarge(file, limit);
    QByteArray bytes;
    bytes.reserve(qsizetype(opened.info.st_size)); // one allocation for the usual case
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throwErrno("read");
        if (count == 0)
            break;
        // The file may grow while it is read.
        if (bytes.size() + count > limit)
            throw tooLarge(file, limit);
        bytes.append(buffer, count);
    }
    return bytes;
}

} // namespace

QString readUtf8File(const std::filesystem::path& file, qint64 limit)
{
    const QByteArray bytes = readAll(file, limit);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        throw TextFileError(
            QCoreApplication::translate("TextFile", "Il file «%1» non contiene testo UTF-8 valido.")
                .arg(lastPathComponent(file))
                .toStdString());
    return text;
}

} // namespace quillmark
