#ifndef OSLOG_JOURNAL_SOURCE_H
#define OSLOG_JOURNAL_SOURCE_H

#include "log_record.h"

namespace oslog {

// The errors and warnings of the local systemd journal; false (and a note)
// when this machine keeps no journal.
bool ReadJournal(RecentRecords& keep, Notes& notes);

}  // namespace oslog

#endif
