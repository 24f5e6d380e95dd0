#pragma once

// Registers the compiled-in icon and logo (":/TARVINE/Resources/...")
// and the English catalogue (":/i18n/tarvine_en.qm").
// They live in a static library, whose resource initialiser the linker
// would otherwise drop; safe to call more than once.
void ensureAppResources();
