#include "support/printers.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QMessageBox>
#include <QTreeView>

namespace quillmark {
namespace {

// What a screen reader finds wrong in the window, one line per fault: an object it can act on
// without a role or a name, a window inside the window, an object of a page not on screen that
// says it is showing.
QStringList faults(QAccessibleInterface* object, bool pageShown = true, const QString& path = {})
{
    QStringList found;
    const QAccessible::State state = object->state();
    const QAccessible::Role role = object->role();
    const QString name = object->text(QAccessible::Name);
    const QString here =
        path + QLatin1Char('/') + QString::number(int(role), 16) + QLatin1Char(':') + name;
    const bool acts = state.focusable ||
                      std::set<QAccessible::Role>{
                          QAccessible::PushButton, QAccessible::ButtonMenu,   QAccessible::CheckBox,
                          QAccessible::Link,       QAccessible::EditableText, QAccessible::TreeItem}
                          .contains(role);
    if (!state.invisible && acts && (name.isEmpty() || role == QAccessible::Client))
        found.append(here + QStringLiteral(" acts without a role or a name"));
    if (!path.isEmpty() && (role == QAccessible::Window || role == QAccessible::Border))
        found.append(here + QStringLiteral(" is a window inside the window"));
    if (!pageShown && !state.invisible)
        found.append(here + QStringLiteral(" is on a page not shown, yet showing"));
    for (int child = 0; child < object->childCount(); ++child) {
        QAccessibleInterface* inner = object->child(child);
        if (inner)
            found += faults(inner, pageShown && !state.invisible, here);
    }
    return found;
}

class AccessibilityTest : public test::WindowFixture {
protected:
    QAccessibleInterface* window() { return QAccessible::queryAccessibleInterface(view.get()); }
    QAccessibleInterface* report()
    {
        return QAccessible::queryAccessibleInterface(find<QTreeView>("folderList"));
    }
};

// In each state a user meets (empty, running, a report, an alert) the window is one window named
// Quillmark, and everything in it that can be acted on has a role and a name.
TEST_F(AccessibilityTest, EveryStateIsOneWindowOfNamedControls)
{
    makeTree();
    open();
    ASSERT_EQ(window()->role(), QAccessible::Window);
    EXPECT_EQ(window()->text(QAccessible::Name), QStringLiteral("Quillmark"));
    EXPECT_EQ(faults(window()), QStringList()) << "empty";
    vm().setFolderPath(viaggi());
    vm().calculate();
    finishRun();
    EXPECT_EQ(faults(window()), QStringList()) << "report";
    vm().calculate();
    EXPECT_EQ(faults(window()), QStringList()) << "running, the report behind";
    finishRun();
    vm().setFolderPath(viaggi() + QStringLiteral("/manca"));
    vm().calculate();
    auto* alert = view->findChild<QMessageBox*>(QStringLiteral("alertBox"));
    ASSERT_TRUE(QTest::qWaitFor([alert] { return alert && alert->isVisible(); }));
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(alert);
    EXPECT_EQ(faults(box), QStringList()) << "alert";
    EXPECT_EQ(faults(window()), QStringList()) << "window behind the alert";
}

// The report is a tree: its rows name their totals and their level, a folder that holds rows is
// expandable and says whether it is open.
TEST_F(AccessibilityTest, TheReportIsATree)
{
    makeTree();
    open();
    vm().setFolderPath(viaggi());
    vm().calculate();
    finishRun();
    QAccessibleInterface* tree = report();
    ASSERT_EQ(tree->role(), QAccessible::Tree);
    EXPECT_EQ(tree->text(QAccessible::Name), QStringLiteral("Report per cartella"));
    auto row = [tree](const QString& name) -> QAccessibleInterface* {
        for (int child = 0; child < tree->childCount(); ++child) {
            if (tree->child(child)->text(QAccessible::Name) == name)
                return tree->child(child);
        }
        return nullptr;
    };
    QAccessibleInterface* top = row(QStringLiteral("Viaggi, 0h01m, 0h02m in tutto"));
    ASSERT_TRUE(top);
    EXPECT_EQ(top->role(), QAccessible::TreeItem);
    EXPECT_EQ(top->text(QAccessible::Description), QStringLiteral("livello 1"));
    EXPECT_TRUE(top->state().expandable && top->state().expanded);
    QAccessibleInterface* mare = row(QStringLiteral("Mare, 0h01m, 50% del totale"));
    ASSERT_TRUE(mare);
    EXPECT_EQ(mare->text(QAccessible::Description), QStringLiteral("livello 2"));
    EXPECT_TRUE(mare->state().expandable && !mare->state().expanded);
    QAccessibleInterface* failed = row(QStringLiteral("rotto.mkv, 0h00m"));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->text(QAccessible::Description), QStringLiteral("file danneggiato"));

    // (What opening it tells a screen reader is heard in Orca's log: the offscreen platform has
    // no bridge to send events through.)
    auto* view = find<QTreeView>("folderList");
    view->expand(view->model()->index(2, 0, view->model()->index(0, 0)));
    EXPECT_TRUE(row(QStringLiteral("Mare, 0h01m, 50% del totale"))->state().expanded);
}

} // namespace
} // namespace quillmark
