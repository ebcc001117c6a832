#include "ui/resources.h"

#include <QtGlobal>

// Outside any namespace, as the resource's own initialiser is.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace quillmark {

void registerUiResources()
{
    static const bool registered = (initIconResources(), true);
    Q_UNUSED(registered);
}

} // namespace quillmark
