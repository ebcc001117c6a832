#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <filesystem>
#include <functional>

namespace quillmark {

class ActionHost;

// The current report as files: saved as "durata.txt" (or elsewhere), exported as a spreadsheet,
// copied to the clipboard, and the folder's "durata.txt" loaded back.
class ReportFileActions {
    Q_DECLARE_TR_FUNCTIONS(ReportFileActions)

public:
    explicit ReportFileActions(ActionHost& host);

    void save();
    void exportCsv();
    void copy();
    void load();

private:
    // A file the user chooses and a worker writes: what is said when there is no report, the
    // dialog's title and suggested name, and the statuses while writing, once written (%1: the
    // file) and on failure (%1: why).
    struct FileToWrite {
        QString nothingToWrite;
        QString dialogTitle;
        QString suggestedName;
        QString working;
        QString done;
        QString failed;
    };
    void writeChosenFile(const FileToWrite& what, std::function<QByteArray()> bytes);
    // Where the report belongs: the folder it describes, else the one named.
    std::filesystem::path reportFolder() const;

    ActionHost& m_host;
};

} // namespace quillmark
