#include "common/LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "tarvine.link")
