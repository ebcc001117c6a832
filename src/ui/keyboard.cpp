#include "ui/keyboard.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QSet>
#include <QToolButton>

namespace quillmark {

namespace {

class ButtonKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* button = static_cast<QToolButton*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool opens = key->key() == Qt::Key_Down &&
                           (key->modifiers() & ~(Qt::AltModifier | Qt::KeypadModifier)) == 0;
        const bool presses = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                             (key->modifiers() & ~Qt::KeypadModifier) == 0;
        if (opens && button->menu()) {
            button->showMenu();
            return true;
        }
        if (presses) {
            if (button->menu() && button->popupMode() == QToolButton::InstantPopup)
                button->showMenu();
            else
                button->click();
            return true;
        }
        return false;
    }
};

} // namespace

void pressWithKeyboard(QToolButton* button)
{
    button->installEventFilter(new ButtonKeys(button));
}

void giveMnemonics(QMenu* menu)
{
    QSet<QChar> used;
    QList<QAction*> without;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        const QString text = action->text();
        const qsizetype marked = text.indexOf(QLatin1Char('&'));
        if (marked >= 0 && marked + 1 < text.size() && text[marked + 1] != QLatin1Char('&'))
            used.insert(text[marked + 1].toLower());
        else
            without.append(action);
    }
    for (QAction* action : without) {
        const QString text = action->text();
        qsizetype chosen = -1;
        for (const bool wordStartsOnly : {true, false}) {
            for (qsizetype at = 0; at < text.size() && chosen < 0; ++at) {
                const bool wordStart = at == 0 || !text[at - 1].isLetterOrNumber();
                if (text[at].isLetterOrNumber() && (wordStart || !wordStartsOnly) &&
                    !used.contains(text[at].toLower()))
                    chosen = at;
            }
        }
        QString marked = text;
        marked.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (chosen >= 0) {
            used.insert(text[chosen].toLower());
            marked.insert(chosen + text.left(chosen).count(QLatin1Char('&')), QLatin1Char('&'));
        }
        action->setText(marked);
    }
}

} // namespace quillmark
