#ifndef WYXCORE_CIM_XML_READER_H
#define WYXCORE_CIM_XML_READER_H

#include <string>
#include <vector>

class TContainer;

namespace cimxml {

// Adds the classes and instances of a CIM-XML document (gzip-compressed or
// plain bytes) to the container and returns the names of the classes it names.
// The whole document is checked before anything is added: on TWYXException the
// container is as it was.
std::vector<std::string> ReadInto(TContainer* container, std::string bytes);

}  // namespace cimxml

#endif
