// libFuzzer target for the header readers (MP4 and MOV, Matroska, FLV, AVI, ASF, Ogg, MPEG-TS):
// every input is a whole file, read from memory by each. A read outside the file aborts the run, as
// does any crash or sanitizer report; a walk that does not end shows as a timeout. Built and run by
// "make fuzz".
#include "measure/header_readers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fileSize = std::int64_t(size);
    const quillmark::ReadAt readAt = [&](std::int64_t offset,
                                         std::span<std::uint8_t> into) -> std::int64_t {
        if (offset < 0 || offset > fileSize || into.size() > 1024 * 1024)
            std::abort();
        const std::int64_t count = std::min<std::int64_t>(fileSize - offset, into.size());
        std::memcpy(into.data(), data + offset, std::size_t(count));
        return count;
    };
    // Each reader from its own window, so that each reads the file from its start.
    for (const quillmark::HeaderReader reader : quillmark::headerReaders()) {
        quillmark::HeaderWindow window(fileSize, readAt);
        reader(window);
    }
    return 0;
}
