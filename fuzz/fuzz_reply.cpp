// Whole replies to the reply dispatch: the input is a reply without its
// CRC; the CRC is appended, so every input passes the receive path's
// check and reaches the page that owns its command byte. The pages are
// then written out as a configuration file, which reads every field the
// reply set.
#include "FuzzSupport.h"

#include "link/CenterWidget.h"
#include "protocol/ConfigFrame.h"

#include <QByteArray>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Replies are at most a few hundred bytes.
    if (size > 1024)
        return 0;
    QByteArray reply(reinterpret_cast<const char *>(data), static_cast<int>(size));
    ConfigFrame::appendCrc(reply);

    CenterWidget &widget = FuzzSupport::centerWidget();
    FuzzSupport::flushReceiveBuffer(widget);
    widget.receiveBytes(reply);
    widget.saveConfiguration(FuzzSupport::scratchPath("reply.txt"));
    FuzzSupport::settle();
    return 0;
}
