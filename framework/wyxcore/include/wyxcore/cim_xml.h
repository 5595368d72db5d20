#ifndef WYXCORE_CIM_XML_H
#define WYXCORE_CIM_XML_H

#include <string>

#include "wyxcore/export.h"

class TContainer;

// The container as a CIM-XML document: the class declarations (with their
// provider registration) and then the instances, class by class.
class WYX_API TCIMXMLFile {
public:
    static std::string Render(const TContainer* container);
    // Writes Render's document gzip-compressed, under a temporary name that is
    // then renamed to path. Throws TWYXException: kWyxAccessDenied,
    // kWyxDiskFull, kWyxWriteFailed.
    static void Write(const TContainer* container, const std::string& path);
};

#endif
