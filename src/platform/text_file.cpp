#include "platform/text_file.h"

#include "model/path_text.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quillmark {

namespace {

QByteArray readAll(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "open");
    QByteArray bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        bytes.reserve(qsizetype(info.st_size)); // one allocation for the usual case
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            ::close(fd);
            throw std::system_error(error, std::generic_category(), "read");
        }
        if (count == 0)
            break;
        bytes.append(buffer, count);
    }
    ::close(fd);
    return bytes;
}

} // namespace

TextEncodingError::TextEncodingError(const std::filesystem::path& file)
    : std::runtime_error(
          QCoreApplication::translate("TextFile", "Il file «%1» non contiene testo UTF-8 valido.")
              .arg(lastPathComponent(file))
              .toStdString())
{
}

QString readUtf8File(const std::filesystem::path& file)
{
    const QByteArray bytes = readAll(file);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        throw TextEncodingError(file);
    return text;
}

} // namespace quillmark
