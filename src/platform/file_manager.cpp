#include "platform/file_manager.h"

#include "platform/child_process.h"

#include <QFile>
#include <QStandardPaths>
#include <QString>

#include <chrono>

namespace quillmark {

namespace {

// The desktop's default program for folders, as xdg-open would choose it ("" when unknown).
QString defaultFolderHandler()
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return {};
    try {
        const ChildOutput answer = runChildProcess(QFile::encodeName(query).toStdString(),
                                                   {"query", "default", "inode/directory"}, {},
                                                   std::chrono::milliseconds(2000));
        return QString::fromUtf8(answer.standardOutput).trimmed();
    } catch (const std::exception&) {
        return {};
    }
}

// Started detached, so that the program outlives the thread and the process that asked; the
// path as the file system has it.
bool startProgram(const QString& name, const std::filesystem::path& path)
{
    const QString program = QStandardPaths::findExecutable(name);
    return !program.isEmpty() &&
           startDetached(QFile::encodeName(program).toStdString(), {path.native()});
}

// A file URL of the exact bytes; commas too are escaped, which dbus-send would take for
// separators.
std::string fileUrl(const std::filesystem::path& file)
{
    return "file://" +
           QByteArray::fromStdString(file.native()).toPercentEncoding("/").toStdString();
}

} // namespace

bool showInFileManager(const std::filesystem::path& path)
{
    // "Apri cartella" shows the folder in a file manager, never in another window of Quillmark,
    // whatever the desktop's associations say: the usual file managers are asked directly then.
    if (!defaultFolderHandler().startsWith(QLatin1String("quillmark")))
        return startProgram(QStringLiteral("xdg-open"), path);
    for (const char* manager :
         {"nautilus", "dolphin", "nemo", "caja", "thunar", "pcmanfm-qt", "pcmanfm", "konqueror"}) {
        if (startProgram(QLatin1String(manager), path))
            return true;
    }
    return false;
}

bool showFileInFileManager(const std::filesystem::path& file)
{
    const QString send = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
    if (!send.isEmpty()) {
        try {
            const ChildOutput answer = runChildProcess(
                QFile::encodeName(send).toStdString(),
                {"--session", "--print-reply", "--dest=org.freedesktop.FileManager1",
                 "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1.ShowItems",
                 "array:string:" + fileUrl(file), "string:"},
                {}, std::chrono::milliseconds(5000));
            if (answer.exitStatus == 0)
                return true;
        } catch (const std::exception&) {
        }
    }
    return showInFileManager(file.parent_path());
}

bool openWithDefaultApplication(const std::filesystem::path& file)
{
    return startProgram(QStringLiteral("xdg-open"), file);
}

} // namespace quillmark
