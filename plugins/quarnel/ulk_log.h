#ifndef QUARNEL_ULK_LOG_H
#define QUARNEL_ULK_LOG_H

class SPLibrary;

// Reads the event log of every dot-command processor into VARNSG_ULKLog
// instances, decoded by quarnelentry.txt and moved onto the system clock. 0 or 3.
int getDotcommandlog(SPLibrary& library, void* plugin, void* container);

#endif
