#pragma once

#include "measure/media_file.h"
#include "measure/probe_types.h"
#include "model/failure.h"

#include <filesystem>
#include <stop_token>

namespace quillmark {

// Reads only what the file's container needs to state the streams and the duration: its headers
// where a header reader knows them (header_readers.h), else what libavformat reads to open it
// (through libav_module.h); frames are never decoded. Fails with the file's own answer when it is
// not a regular file or cannot be opened as media, with a limit when the budget runs out first (its
// bytes are the file's answer, its time is not), and as passing when the file or libavformat
// cannot be read now. Nothing but the file itself is ever opened. Safe to call from several
// threads at once; silent; a stop request abandons the reading.
Expected<MediaProbe> probeMedia(const MediaFile& file, std::stop_token stop = {},
                                const ProbeBudget& budget = {});
// The same, for a file not opened yet.
Expected<MediaProbe> probeMedia(const std::filesystem::path& file, std::stop_token stop = {},
                                const ProbeBudget& budget = {});

// Why a file could not be opened or read, from the error number: says nothing of its content.
Failure readFailure(const std::filesystem::path& file, int error);

// The same, read by libavformat alone and by content, as the quick ways must agree with: before
// it, probeMedia asks the header readers (header_readers.h), then opens Matroska and AVI files
// with the demuxer their extension names.
Expected<MediaProbe> probeWithLibav(const std::filesystem::path& file, std::stop_token stop = {},
                                    const ProbeBudget& budget = {});

} // namespace quillmark
