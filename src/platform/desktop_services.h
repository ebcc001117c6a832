#pragma once

#include <QString>

#include <filesystem>
#include <optional>

namespace quillmark {

struct FolderChooserRequest {
    QString title;
    std::filesystem::path startFolder;
};

// A question with two answers; the confirming one is the default.
struct ConfirmationRequest {
    QString title;
    QString message;
    QString confirmButton;
    QString cancelButton;
};

// The desktop around the window: panels and clipboard. The view model asks only through this, so
// tests answer from a script. Everything here is asked on the GUI thread.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // A modal folder chooser (folders only, one at a time); nothing when cancelled.
    virtual std::optional<std::filesystem::path>
    chooseFolder(const FolderChooserRequest& request) = 0;
    // A modal save panel that may create folders, opened on the suggested file's folder with its
    // name proposed, for the kind of file its extension says (a report's text, or a CSV);
    // nothing when cancelled.
    virtual std::optional<std::filesystem::path>
    chooseSaveFile(const QString& title, const std::filesystem::path& suggested) = 0;
    // A modal question; true when the user confirms.
    virtual bool confirm(const ConfirmationRequest& request) = 0;
    // Replaces the clipboard's content with this plain text.
    virtual void setClipboardText(const QString& text) = 0;
};

} // namespace quillmark
