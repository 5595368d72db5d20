#ifndef WYXCORE_CIM_XML_READER_H
#define WYXCORE_CIM_XML_READER_H

#include <string>
#include <vector>

#include "byte_source.h"

class TContainer;

namespace cimxml {

// Adds the classes and instances of a CIM-XML document (gzip-compressed or
// plain bytes) to the container and returns the names of the classes it names.
// The whole document is checked before anything is added: on TWYXException the
// container is as it was. The file is read in pieces: beyond what is added, the
// reader holds at most a few tens of MiB whatever the file holds.
std::vector<std::string> ReadInto(TContainer* container, ByteSource* file);
std::vector<std::string> ReadInto(TContainer* container, const std::string& bytes);

}  // namespace cimxml

#endif
