// libFuzzer target for the header readers of MP4, MOV, Matroska, FLV and AVI files: every input is
// a whole file, read from memory by each. A read outside the file aborts the run, as does any crash
// or sanitizer report; a walk that does not end shows as a timeout. Built and run by "make fuzz".
#include "measure/asf_header.h"
#include "measure/avi_header.h"
#include "measure/flv_header.h"
#include "measure/iso_media_header.h"
#include "measure/matroska_header.h"

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
    quillmark::HeaderWindow window(fileSize, readAt);
    quillmark::readIsoMediaHeader(window);
    quillmark::readMatroskaHeader(window);
    quillmark::readFlvHeader(window);
    quillmark::readAviHeader(window);
    quillmark::readAsfHeader(window);
    return 0;
}
