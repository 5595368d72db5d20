#ifndef NORBIX_TIMELINE_PAGE_H
#define NORBIX_TIMELINE_PAGE_H

#include "class_page.h"

// The timeline page and the data file of its rows: every time-stamped record
// in order of instant, shown on the collected machine's clock, with the
// recording clock's own reading beside it; filters by source, severity and time
// window; each row links to its row on its class's page.
void RenderTimelinePage(const ReportModel& model, const PageNames& names, const WriteFile& write);

#endif
