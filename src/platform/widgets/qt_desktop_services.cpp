#include "platform/widgets/qt_desktop_services.h"

#include "platform/widgets/message_box.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace quillmark {

namespace {

std::filesystem::path localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString displayedPath(const std::filesystem::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

} // namespace

QtDesktopServices::QtDesktopServices(QWidget* window)
    : m_window(window)
{
}

std::optional<std::filesystem::path>
QtDesktopServices::chooseFolder(const FolderChooserRequest& request)
{
    QFileDialog dialog(m_window, request.title, displayedPath(request.startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return localPath(dialog.selectedFiles().constFirst());
}

std::optional<std::filesystem::path> QtDesktopServices::chooseSaveFile(const QString& title,
                                                                       const QString& suggestedName)
{
    QFileDialog dialog(m_window, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QCoreApplication::translate("DesktopServices", "Testo (*.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return localPath(dialog.selectedFiles().constFirst());
}

bool QtDesktopServices::confirm(const ConfirmationRequest& request)
{
    QMessageBox box(QMessageBox::Question, request.title, request.message, QMessageBox::NoButton,
                    m_window);
    QPushButton* confirmButton = box.addButton(request.confirmButton, QMessageBox::AcceptRole);
    QPushButton* cancelButton = box.addButton(request.cancelButton, QMessageBox::RejectRole);
    box.setDefaultButton(confirmButton);
    box.setEscapeButton(cancelButton);
    tidyMessageBox(box);
    box.exec();
    return box.clickedButton() == confirmButton;
}

void QtDesktopServices::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

namespace {

// The desktop's default program for folders, as xdg-open would choose it ("" when unknown).
QString defaultFolderHandler()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("inode/directory")});
    if (!query.waitForFinished(2000))
        return {};
    return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
}

// When folders open with this program, the usual file managers are asked directly instead.
bool openWithAFileManager(const QString& path)
{
    for (const char* manager :
         {"nautilus", "dolphin", "nemo", "caja", "thunar", "pcmanfm-qt", "pcmanfm", "konqueror"}) {
        if (!QStandardPaths::findExecutable(QLatin1String(manager)).isEmpty())
            return QProcess::startDetached(QLatin1String(manager), {path});
    }
    return false;
}

} // namespace

bool QtDesktopServices::openInFileManager(const std::filesystem::path& path)
{
    // "Apri cartella" shows the folder in a file manager, never in another window of Quillmark,
    // whatever the desktop's associations say.
    if (defaultFolderHandler().startsWith(QLatin1String("quillmark")))
        return openWithAFileManager(displayedPath(path));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(displayedPath(path)));
}

} // namespace quillmark
