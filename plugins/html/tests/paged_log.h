#ifndef NORBIX_PAGED_LOG_H
#define NORBIX_PAGED_LOG_H

#include <cstddef>

class TContainer;
class TCIMClass;

// Declares the report classes and adds a ULK log of count entries, RecordID 1
// to count, each a minute earlier than the one added before it: reading order
// (by time) is the reverse of the order of addition, so the instance at
// position p sits on row count - 1 - p.
TCIMClass* AddReversedLog(TContainer& container, size_t count);

#endif
