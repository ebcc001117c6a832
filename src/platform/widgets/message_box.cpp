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
    // QMessageBox ignores a minimum width of its own and rebuilds its layout as texts are set;
    // its text labels keep theirs.
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        if (auto* label = box.findChild<QLabel*>(QLatin1String(name)))
            label->setMinimumWidth(minimumTextWidth);
    }
}

} // namespace quillmark
