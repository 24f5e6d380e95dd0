// Byte chunks to the receive path, as a port delivers them: the input is
// a series of [n][n+1 bytes] pieces (n taken modulo 64), fed one call at a
// time, so replies split, glued, cut short or preceded by noise all occur.
#include "FuzzSupport.h"

#include "link/CenterWidget.h"

#include <QByteArray>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    CenterWidget &widget = FuzzSupport::centerWidget();
    FuzzSupport::flushReceiveBuffer(widget);
    size_t at = 0;
    while (at < size) {
        const size_t length = qMin<size_t>(data[at] % 64 + 1, size - at - 1);
        ++at;
        widget.receiveBytes(QByteArray(reinterpret_cast<const char *>(data + at), static_cast<int>(length)));
        at += length;
    }
    FuzzSupport::settle();
    return 0;
}
