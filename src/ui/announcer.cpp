#include "ui/announcer.h"

namespace quillmark {

Announcer::Announcer(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(1, 1);
    hide();
}

void Announcer::announce(const QString& sentence)
{
    m_last = sentence;
    hide();
    setAccessibleName(sentence);
    show();
}

} // namespace quillmark
