#pragma once

#include <cstdint>
#include <filesystem>

namespace quillmark {

// A file being measured, open: its path, for messages and for a tool that wants a name, and the
// descriptor of the regular file that was opened and checked, which is what is read. The size is
// what fstat said when it was opened.
struct MediaFile {
    const std::filesystem::path& path;
    int fd = -1;
    std::int64_t size = 0;
};

} // namespace quillmark
