#ifndef NORBIX_SAMPLE_CONTAINER_H
#define NORBIX_SAMPLE_CONTAINER_H

#include <string>
#include <utility>
#include <vector>

#include "wyxcore/container.h"

// Test data for the report plug-ins, built with the container's own operations.

// Declares the class with the given properties (types as CIM-XML names them) in
// the container and returns it.
TCIMClass* DeclareTestClass(TContainer& container, const std::string& name,
                            const std::vector<std::pair<std::string, TCIMType> >& properties);

// Adds and commits an instance; each value is a text for a string property, or
// a DMTF date-time text for a datetime, or a number for an unsigned one.
TCIMInstance* AddTestInstance(TContainer& container, const std::string& className,
                              const std::vector<std::pair<std::string, std::string> >& values);

// Declares the classes the reports know: computer system, operating system,
// both service-processor logs, heavy hitters, the run log.
void DeclareReportClasses(TContainer& container);

// Declares the machine classes the reports read parts from: the inventory's,
// the sensors', the disks' and memory, PCIe and hardware-error counters and
// records, the SEL; every property a string but MessageTimestamp.
void DeclarePartSourceClasses(TContainer& container);

// A run-log record (type as its number) and an analysis finding (the class
// declared when missing), as norbix and "Basic Analysis" write them.
void AddRunLogRecord(TContainer& container, const std::string& id, const std::string& source,
                     const std::string& type, const std::string& stamp, const std::string& message);
void AddFinding(TContainer& container, const std::string& severity, const std::string& category,
                const std::string& sourceClass, const std::string& recordId, const std::string& message,
                const std::string& stamp);

// A machine with a computer system, three ULK and three TRAV entries (out of
// time order), two heavy hitters and three run-log records. Some values carry
// markup, quotes and control bytes.
void FillSampleContainer(TContainer& container);

#endif
