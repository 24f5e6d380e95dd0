#include "common/AppResources.h"

#include <QtGlobal>

static void registerResources()
{
    Q_INIT_RESOURCE(TARVINE);
    Q_INIT_RESOURCE(tarvine_i18n);
}

void ensureAppResources()
{
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
}
