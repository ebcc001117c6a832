#include "ui/report_tree_view.h"

#include "ui/announcer.h"
#include "ui/report_tree_model.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace quillmark {

ReportTreeView::ReportTreeView(ReportTreeModel& model, QWidget* parent)
    : QTreeView(parent)
    , m_model(model)
    , m_announcer(new Announcer(this))
{
    setModel(&model);
    setHeaderHidden(true);
    // The delegate draws each row's depth and its own chevron.
    setIndentation(0);
    setRootIsDecorated(false);
    setUniformRowHeights(false);
    setExpandsOnDoubleClick(false);
    setFocusPolicy(Qt::StrongFocus);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The delegate tints every other row, so that a name leads the eye to its totals.
    setAlternatingRowColors(true);
    // A plain click opens or closes a folder; a click that adds to the selection does not.
    connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
            return;
        if (index.data(ReportTreeModel::IsFolderRole).toBool() && m_model.hasChildren(index))
            setExpanded(index, !isExpanded(index));
    });
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { remember(index, true); });
    connect(this, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { remember(index, false); });
    // A new report keeps the selection and the current row where the same paths are found;
    // otherwise it starts from its first row, made current only where the keyboard is, since a
    // screen reader takes the current row for the focus.
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, &ReportTreeView::keepSelection);
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        openFoldersAsBefore();
        restoreSelection();
        if (hasFocus() && !currentIndex().isValid())
            selectionModel()->setCurrentIndex(m_model.index(0, 0), QItemSelectionModel::NoUpdate);
    });
}

// Kept while the tree is hidden too (it then holds no rows), until rows come back.
void ReportTreeView::keepSelection()
{
    if (m_model.rowCount() == 0)
        return;
    m_selected.clear();
    for (const QModelIndex& index : selectionModel()->selectedRows())
        m_selected.insert(index.data(ReportTreeModel::PathRole).toString());
    m_current = currentIndex().data(ReportTreeModel::PathRole).toString();
}

void ReportTreeView::restoreSelection()
{
    if (m_model.rowCount() == 0 || (m_selected.isEmpty() && m_current.isEmpty()))
        return;
    QSet<QString> wanted = m_selected;
    if (!m_current.isEmpty())
        wanted.insert(m_current);
    QItemSelection selection;
    QModelIndex current;
    for (const QModelIndex& index : m_model.rowsAt(wanted)) {
        const QString path = index.data(ReportTreeModel::PathRole).toString();
        if (m_selected.contains(path))
            selection.select(index, index);
        if (path == m_current)
            current = index;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current.isValid())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    m_selected.clear();
    m_current.clear();
}

void ReportTreeView::setOpenBelow(const QModelIndex& top, bool open)
{
    std::vector<QModelIndex> folders;
    std::vector<QModelIndex> pending;
    if (top.isValid()) {
        pending.push_back(top);
    } else {
        for (int row = m_model.rowCount() - 1; row >= 0; --row)
            pending.push_back(m_model.index(row, 0));
    }
    while (!pending.empty()) {
        const QModelIndex folder = pending.back();
        pending.pop_back();
        if (!folder.data(ReportTreeModel::IsFolderRole).toBool())
            continue;
        folders.push_back(folder);
        for (int row = m_model.rowCount(folder) - 1; row >= 0; --row)
            pending.push_back(m_model.index(row, 0, folder));
    }
    m_restoring = true;
    if (open && top.isValid())
        expandRecursively(top);
    else if (open)
        expandAll();
    else if (!top.isValid())
        collapseAll();
    else
        // The top first: the folders below it are then out of sight, and cheap to close.
        for (const QModelIndex& folder : folders)
            collapse(folder);
    m_restoring = false;
    for (const QModelIndex& folder : folders) {
        const QString path = folder.data(ReportTreeModel::PathRole).toString();
        (open ? m_opened : m_closed).insert(path);
        (open ? m_closed : m_opened).remove(path);
    }
    if (QAccessible::isActive() && hasFocus())
        m_announcer->announce(open ? tr("Cartelle aperte: %Ln", nullptr, int(folders.size()))
                                   : tr("Cartelle chiuse: %Ln", nullptr, int(folders.size())));
}

QModelIndexList ReportTreeView::chosenRows() const
{
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty() && currentIndex().isValid())
        rows.append(currentIndex());
    // In the order shown: by the places of the row and of each folder above it.
    auto places = [](QModelIndex index) {
        std::vector<int> rows;
        for (; index.isValid(); index = index.parent())
            rows.insert(rows.begin(), index.row());
        return rows;
    };
    std::sort(rows.begin(), rows.end(), [&places](const QModelIndex& a, const QModelIndex& b) {
        return places(a) < places(b);
    });
    return rows;
}

void ReportTreeView::remember(const QModelIndex& folder, bool open)
{
    if (m_restoring)
        return;
    tellExpansion(folder, open);
    const QString path = folder.data(ReportTreeModel::PathRole).toString();
    (open ? m_opened : m_closed).insert(path);
    (open ? m_closed : m_opened).remove(path);
}

void ReportTreeView::tellExpansion(const QModelIndex& folder, bool open)
{
    if (!QAccessible::isActive() || !hasFocus() || folder != currentIndex())
        return;
    const QString name = folder.data().toString();
    m_announcer->announce(open ? tr("%1 aperta").arg(name) : tr("%1 chiusa").arg(name));
}

void ReportTreeView::openFoldersAsBefore()
{
    m_restoring = true;
    std::vector<QModelIndex> pending;
    for (int row = m_model.rowCount() - 1; row >= 0; --row)
        pending.push_back(m_model.index(row, 0));
    while (!pending.empty()) {
        const QModelIndex folder = pending.back();
        pending.pop_back();
        const QString path = folder.data(ReportTreeModel::PathRole).toString();
        const bool openAtFirst =
            !folder.parent().isValid() || folder.data(ReportTreeModel::IsGroupRole).toBool();
        if (m_opened.contains(path) || (openAtFirst && !m_closed.contains(path)))
            expand(folder);
        for (int row = m_model.rowCount(folder) - 1; row >= 0; --row) {
            const QModelIndex child = m_model.index(row, 0, folder);
            if (child.data(ReportTreeModel::IsFolderRole).toBool())
                pending.push_back(child);
        }
    }
    m_restoring = false;
}

bool ReportTreeView::showNextFileInError()
{
    const std::vector<QModelIndex> files = m_model.filesInError();
    if (files.empty())
        return false;
    const auto current = std::find(files.begin(), files.end(), currentIndex());
    const QModelIndex next =
        current == files.end() || current + 1 == files.end() ? files.front() : *(current + 1);
    for (QModelIndex folder = next.parent(); folder.isValid(); folder = folder.parent())
        expand(folder);
    setFocus(Qt::OtherFocusReason);
    setCurrentIndex(next);
    scrollTo(next, QAbstractItemView::PositionAtCenter);
    return true;
}

bool ReportTreeView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        selectionModel()->hasSelection()) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

// A screen reader hears the row the keyboard comes to, not only the tree: the view tells it of
// the current row as it does when the row changes.
void ReportTreeView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    // After the focus event of the tree itself, which would otherwise be the last word.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus() && currentIndex().isValid())
            currentChanged(currentIndex(), QModelIndex());
    });
}

void ReportTreeView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (event->matches(QKeySequence::Copy)) {
        Q_EMIT copyRequested();
        return;
    }
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const bool wholeTree = modifiers & Qt::ControlModifier;
    // On a file, its folder's.
    const QModelIndex folder =
        current.data(ReportTreeModel::IsFolderRole).toBool() ? current : current.parent();
    if (event->key() == Qt::Key_Asterisk ||
        (event->key() == Qt::Key_Right && (modifiers & Qt::ShiftModifier))) {
        setOpenBelow(wholeTree ? QModelIndex() : folder, true);
        return;
    }
    if (event->key() == Qt::Key_Left && (modifiers & Qt::ShiftModifier)) {
        setOpenBelow(wholeTree ? QModelIndex() : folder, false);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        if (selectionModel()->hasSelection()) {
            clearSelection();
            return;
        }
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current.data(ReportTreeModel::IsFolderRole).toBool() && m_model.hasChildren(current))
            setExpanded(current, !isExpanded(current));
        return;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace quillmark
