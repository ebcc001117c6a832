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
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A plain click opens or closes a folder; a click that adds to the selection does not.
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
            return;
        m_rows.toggle(index.row());
    });
    // A new report starts from its first row, with nothing selected.
    connect(&rows, &QAbstractItemModel::modelReset, this, [this] {
        selectionModel()->setCurrentIndex(m_rows.index(0), QItemSelectionModel::NoUpdate);
    });
}

bool ReportRowsView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        selectionModel()->hasSelection()) {
        event->accept();
        return true;
    }
    return QListView::event(event);
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
    case Qt::Key_Escape:
        if (selectionModel()->hasSelection()) {
            clearSelection();
            return;
        }
        QListView::keyPressEvent(event);
        return;
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
