#include "res/app_icon.h"

// The resources live in a static library; register them before first use.
// Outside any namespace, where the resource compiler defines the function.
static void RegisterResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(vantor);
        return true;
    }();
    (void)registered;
}

QIcon AppIcon()
{
    RegisterResources();
    return QIcon(QStringLiteral(":/res/app_icon.png"));
}
