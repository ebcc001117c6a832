#include "measure/header_readers.h"

#include "measure/asf_header.h"
#include "measure/avi_header.h"
#include "measure/flv_header.h"
#include "measure/iso_media_header.h"
#include "measure/matroska_header.h"
#include "measure/mpegps_header.h"
#include "measure/mpegts_header.h"
#include "measure/ogg_header.h"

namespace quillmark {

std::span<const HeaderReader> headerReaders()
{
    static constexpr HeaderReader readers[] = {
        readIsoMediaHeader, readMatroskaHeader, readFlvHeader,    readAviHeader,
        readAsfHeader,      readOggHeader,      readMpegTsHeader, readMpegPsHeader};
    return readers;
}

std::optional<MediaProbe> readHeaders(HeaderWindow& file)
{
    for (const HeaderReader reader : headerReaders()) {
        if (auto header = reader(file))
            return header;
    }
    return std::nullopt;
}

} // namespace quillmark
