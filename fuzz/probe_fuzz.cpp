// libFuzzer target for the in-process probe: every input is a file measured by content (its name
// has no extension), so mutated MP4, Matroska, AVI and FLV headers reach their demuxers. Any
// crash or sanitizer report stops the run, and so does a probe that reads past its budget or
// takes too long. Built and run by "make fuzz".
#include "measure/media_probe.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

int file()
{
    static const int fd = ::memfd_create("probe-fuzz", MFD_CLOEXEC);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = file();
    if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    quillmark::probeMedia(path, {}, {1024 * 1024, std::chrono::milliseconds(2000)});
    return 0;
}
