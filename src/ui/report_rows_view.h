#pragma once

#include <QListView>

namespace quillmark {

class ReportRowsModel;

// The list of folder and file rows, usable from the keyboard: Up and Down move between rows,
// Space and Return open or close a folder, Right opens it, Left closes it (from one of its
// files, Left goes back to the folder). A click on a folder opens or closes it. Ctrl+C copies
// the full path of the row's folder or file. Rows are selected as in a file manager (click,
// Ctrl+click, Shift+click, Shift+arrows, Ctrl+A); Esc clears the selection before it reaches
// the window's Stop.
class ReportRowsView : public QListView {
    Q_OBJECT

public:
    ReportRowsView(ReportRowsModel& rows, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ReportRowsModel& m_rows;
};

} // namespace quillmark
