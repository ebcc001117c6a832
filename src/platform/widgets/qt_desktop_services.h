#pragma once

#include "platform/desktop_services.h"

class QWidget;

namespace quillmark {

// Qt's own dialogs and clipboard.
class QtDesktopServices final : public DesktopServices {
public:
    // Dialogs are modal to this window (may be null).
    explicit QtDesktopServices(QWidget* window = nullptr);

    std::optional<std::filesystem::path> chooseFolder(const FolderChooserRequest& request) override;
    std::optional<std::filesystem::path>
    chooseSaveFile(const QString& title, const std::filesystem::path& suggested) override;
    bool confirm(const ConfirmationRequest& request) override;
    void setClipboardText(const QString& text) override;

    void setWindow(QWidget* window) { m_window = window; }

private:
    QWidget* m_window;
};

} // namespace quillmark
