#ifndef PROTOCOL_FILES_H
#define PROTOCOL_FILES_H

#include "screenhost.h"

// The command protocol's file handler tells the screens that a receiving-card parameter file
// arrived or was deleted, or that a file transfer of `kind` ended. Any thread (the carrier's):
// the event is queued to the GUI thread, which alone looks at the screen on top.
void kra_protocol_file_event(ProtocolFile event, int kind = 0);

#endif
