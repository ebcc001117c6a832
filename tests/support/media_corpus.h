#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillmark::test {

// The folder of generated media files (see make-media-corpus), made by a CTest fixture.
std::filesystem::path mediaCorpus();

// A copy of a corpus file at `to`, its folders made as needed.
void copyMedia(const char* corpusFile, const std::filesystem::path& to);

// What the real ffprobe tool says a file lasts, or nothing when it cannot tell.
std::optional<double> ffprobeSeconds(const std::filesystem::path& file);

} // namespace quillmark::test
