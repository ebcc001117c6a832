#pragma once

#include <QSet>
#include <QTreeView>

namespace quillmark {

class Announcer;
class ReportTreeModel;

// The per-folder report, usable from the keyboard as a file manager's tree: Up and Down move
// between rows, Right opens a folder (or moves into an open one), Left closes it (or moves to the
// folder above), Space and Return open or close a folder. "*" and Shift+Right open every folder
// below the current row, Shift+Left closes them; with Ctrl, the whole tree. A click on a folder
// opens or closes it. Rows are selected as in a file manager (click, Ctrl+click, Shift+click,
// Shift+arrows, Ctrl+A); Esc clears the selection before it reaches the window's Stop. Which
// folders are open is kept by path, so it survives new reports; a folder never opened or closed
// is open at the top and when it holds only folders. The selection and the current row are kept
// by path too: a new order, a new speed or the same folder measured again keep them.
class ReportTreeView : public QTreeView {
    Q_OBJECT

public:
    ReportTreeView(ReportTreeModel& model, QWidget* parent = nullptr);

    // Opens the way to the next file in error after the current row (the first after the last)
    // and makes it current; false when there is none.
    bool showNextFileInError();
    // Opens or closes every folder below `top`, itself included; the whole tree when invalid.
    void setOpenBelow(const QModelIndex& top, bool open);
    // The selected rows in the order shown; the current row when none is selected.
    QModelIndexList chosenRows() const;

Q_SIGNALS:
    // Ctrl+C: the chosen rows' paths are wanted.
    void copyRequested();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openFoldersAsBefore();
    void keepSelection();
    void restoreSelection();
    void remember(const QModelIndex& folder, bool open);
    // Tells a screen reader that the folder the keyboard is on was opened or closed: Qt 6.4's
    // bridge sends no event for it.
    void tellExpansion(const QModelIndex& folder, bool open);

    ReportTreeModel& m_model;
    Announcer* m_announcer;
    QSet<QString> m_opened, m_closed; // by the user
    QSet<QString> m_selected;         // while a new report is laid out
    QString m_current;
    bool m_restoring = false;
};

} // namespace quillmark
