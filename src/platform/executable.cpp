#include "platform/executable.h"

#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

bool isExecutableFile(const std::filesystem::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace quillmark
