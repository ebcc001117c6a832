#include "ui/section.h"

namespace quillmark {

Section::Section(QWidget* parent, const QString& name)
    : QFrame(parent)
{
    setAccessibleName(name);
}

} // namespace quillmark
