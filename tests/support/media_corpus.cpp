#include "support/media_corpus.h"

#include "platform/child_process.h"

#include <cstdlib>

namespace quillmark::test {

std::filesystem::path mediaCorpus()
{
    return QUILLMARK_MEDIA_CORPUS;
}

void copyMedia(const char* corpusFile, const std::filesystem::path& to)
{
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy_file(mediaCorpus() / corpusFile, to);
}

std::optional<double> ffprobeSeconds(const std::filesystem::path& file)
{
    const ChildOutput output = runChildProcess(
        "/usr/bin/ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of",
                             "default=noprint_wrappers=1:nokey=1", file.native()});
    char* end = nullptr;
    const std::string text = output.standardOutput.trimmed().toStdString();
    const double seconds = std::strtod(text.c_str(), &end);
    if (output.exitStatus != 0 || text.empty() || *end != '\0')
        return std::nullopt;
    return seconds;
}

} // namespace quillmark::test
