#pragma once

#include <QLoggingCategory>

// The frame dump of the debug output: frames sent ("///"), the receive
// buffer after each arrival ("接受到") and the serial page's block.
// Switch it off with QT_LOGGING_RULES="tarvine.link.debug=false".
Q_DECLARE_LOGGING_CATEGORY(lcLink)
