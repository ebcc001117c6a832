#pragma once

#include <QString>

#include <filesystem>
#include <stdexcept>

namespace quillmark {

// A file whose bytes are not valid UTF-8, or that is far too large to be a text we wrote.
class TextFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Far above any real report: a million-line report is about 42 MiB.
inline constexpr qint64 textFileLimit = 256 * 1024 * 1024;

// The whole regular file as UTF-8 text (a leading byte-order mark is dropped). Throws
// NotRegularFileError for a FIFO, a device or anything else that is not a regular file,
// std::system_error when it cannot be read, and TextFileError when it is not UTF-8 or is larger
// than textFileLimit: nothing is guessed, and nothing can block or read without end.
QString readUtf8File(const std::filesystem::path& file, qint64 limit = textFileLimit);

} // namespace quillmark
