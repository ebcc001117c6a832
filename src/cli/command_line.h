#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace quillmark {

// What quillmark-report was asked to do. Paths stay raw bytes: a folder whose name is not UTF-8
// must still be found.
struct CommandLine {
    std::optional<std::string> folder;
    // With --files: the files and folders to measure instead of one folder.
    std::vector<std::string> files;
    bool selection = false;
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
