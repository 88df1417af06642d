#include "protocol_files.h"
#include "utils.h"

void kra_protocol_file_event(ProtocolFile event, int kind)
{
    if (ScreenHost *host = ScreenHost::instance())
        host->protocol_file(event, kind);
    else
        writeLogMsg(LOG_WARN, QStringLiteral("protocol file event before start-up: dropped"));
}
