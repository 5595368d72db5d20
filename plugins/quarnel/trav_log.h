#ifndef QUARNEL_TRAV_LOG_H
#define QUARNEL_TRAV_LOG_H

class SPLibrary;

// Reads the Tolm processor's event log into VARNSG_TRAVLog instances: the
// first 15 entries, or up to 200 when WYX_RETRIEVE_FULL_H8_LOGS is set. 0 or 3.
int getTolmlog(SPLibrary& library, void* plugin, void* container);

#endif
