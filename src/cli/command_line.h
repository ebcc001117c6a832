#pragma once

#include <QString>

#include <optional>
#include <string>

namespace quillmark {

// What quillmark-report was asked to do. Paths stay raw bytes: a folder whose name is not UTF-8
// must still be found.
struct CommandLine {
    std::optional<std::string> folder;
    std::optional<std::string> reportFile;
    QString extensions;
    bool showEmpty = false;
    bool json = false;
    bool csv = false;
    bool noCache = false;
    std::optional<int> jobs;
    bool help = false;
};

// The command line, or nothing with the reason in `error`.
std::optional<CommandLine> parseCommandLine(int argc, char** argv, QString& error);

// What --help prints, in the interface's language.
QString helpText();

} // namespace quillmark
