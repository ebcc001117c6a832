#include "platform/widgets/qt_desktop_services.h"

#include "platform/widgets/message_box.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

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

std::optional<std::filesystem::path>
QtDesktopServices::chooseSaveFile(const QString& title, const std::filesystem::path& suggested)
{
    QFileDialog dialog(m_window, title, displayedPath(suggested.parent_path()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The kind of file the suggested name says: a report, or a spreadsheet.
    const bool spreadsheet = suggested.extension() == ".csv";
    dialog.setNameFilter(
        spreadsheet
            ? QCoreApplication::translate("DesktopServices", "Foglio di calcolo CSV (*.csv)")
            : QCoreApplication::translate("DesktopServices", "Testo (*.txt)"));
    dialog.setDefaultSuffix(spreadsheet ? QStringLiteral("csv") : QStringLiteral("txt"));
    dialog.selectFile(displayedPath(suggested.filename()));
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

} // namespace quillmark
