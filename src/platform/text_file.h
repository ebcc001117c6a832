#pragma once

#include <QString>

#include <filesystem>
#include <stdexcept>

namespace quillmark {

// A file whose bytes are not valid UTF-8.
class TextEncodingError : public std::runtime_error {
public:
    explicit TextEncodingError(const std::filesystem::path& file);
};

// The whole file as UTF-8 text (a leading byte-order mark is dropped). Throws std::system_error
// when it cannot be read and TextEncodingError when it is not UTF-8: nothing is guessed.
QString readUtf8File(const std::filesystem::path& file);

} // namespace quillmark
