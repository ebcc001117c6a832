#include "ui/accessibility.h"

#include "ui/announcer.h"
#include "ui/chip.h"
#include "ui/elided_label.h"
#include "ui/link_button.h"
#include "ui/report_page.h"
#include "ui/section.h"
#include "ui/spinner.h"
#include "ui/status_bar.h"

#include <QAccessibleWidget>

namespace quillmark {

namespace {

// A link is pressed, as a button is.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkButton* link)
        : QAccessibleWidget(link, QAccessible::Link)
    {
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<LinkButton*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<LinkButton*>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* windowAccessible(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (qobject_cast<Announcer*>(widget))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    if (auto* link = qobject_cast<LinkButton*>(widget))
        return new LinkAccessible(link);
    if (qobject_cast<StatusBar*>(widget))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    // The pages of the report are one place to a screen reader, not a stack of layers.
    if (qobject_cast<Section*>(widget) || qobject_cast<ReportPage*>(widget))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    if (qobject_cast<ElidedLabel*>(widget) || qobject_cast<Chip*>(widget))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    if (qobject_cast<Spinner*>(widget))
        return new QAccessibleWidget(widget, QAccessible::Animation);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(windowAccessible);
}

} // namespace quillmark
