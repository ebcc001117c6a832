#include "platform/widgets/message_box.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>

namespace quillmark {

namespace {

constexpr int minimumTextWidth = 380;

} // namespace

void tidyMessageBox(QMessageBox& box)
{
    for (QAbstractButton* button : box.buttons())
        button->setIcon({});
    // A name or a path is never taken for markup.
    box.setTextFormat(Qt::PlainText);
    // QMessageBox ignores a minimum width of its own and rebuilds its layout as texts are set;
    // its informative label, which it lets shrink, keeps one. The main label has none: the box
    // takes its width from the text, wrapping it when it is long, and a minimum would stop that.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setMinimumWidth(minimumTextWidth);
}

} // namespace quillmark
