#include "platform/file_manager.h"

#include "platform/child_process.h"

#include <QFile>
#include <QProcess>
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

// Started detached, so that the program outlives the thread and the process that asked.
bool startProgram(const QString& name, const QString& path)
{
    const QString program = QStandardPaths::findExecutable(name);
    return !program.isEmpty() && QProcess::startDetached(program, {path});
}

} // namespace

bool showInFileManager(const std::filesystem::path& path)
{
    const QString shown = QFile::decodeName(QByteArray::fromStdString(path.native()));
    // "Apri cartella" shows the folder in a file manager, never in another window of Quillmark,
    // whatever the desktop's associations say: the usual file managers are asked directly then.
    if (!defaultFolderHandler().startsWith(QLatin1String("quillmark")))
        return startProgram(QStringLiteral("xdg-open"), shown);
    for (const char* manager :
         {"nautilus", "dolphin", "nemo", "caja", "thunar", "pcmanfm-qt", "pcmanfm", "konqueror"}) {
        if (startProgram(QLatin1String(manager), shown))
            return true;
    }
    return false;
}

} // namespace quillmark
