#include "ui/report_rows_view.h"

#include "ui/report_rows_model.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

namespace quillmark {

ReportRowsView::ReportRowsView(ReportRowsModel& rows, QWidget* parent)
    : QListView(parent)
    , m_rows(rows)
{
    setModel(&rows);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        m_rows.toggle(index.row());
        setCurrentIndex(index);
    });
    // A new report starts from its first row.
    connect(&rows, &QAbstractItemModel::modelReset, this,
            [this] { setCurrentIndex(m_rows.index(0)); });
}

void ReportRowsView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        if (currentIndex().isValid())
            QGuiApplication::clipboard()->setText(
                currentIndex().data(ReportRowsModel::PathRole).toString());
        return;
    }
    const int row = currentIndex().row();
    const int folder = m_rows.folderRowOf(row);
    const bool open =
        folder >= 0 && m_rows.index(folder).data(ReportRowsModel::IsExpandedRole).toBool();
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (folder == row)
            m_rows.toggle(row);
        return;
    case Qt::Key_Right:
        if (folder == row && !open)
            m_rows.toggle(row);
        return;
    case Qt::Key_Left:
        if (folder != row) {
            setCurrentIndex(m_rows.index(folder));
            return;
        }
        if (open)
            m_rows.toggle(row);
        return;
    default:
        QListView::keyPressEvent(event);
    }
}

} // namespace quillmark
