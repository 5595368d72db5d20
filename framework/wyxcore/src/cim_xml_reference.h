#ifndef WYXCORE_CIM_XML_REFERENCE_H
#define WYXCORE_CIM_XML_REFERENCE_H

#include "wyxcore/value.h"

namespace cimxml {

class XmlPullParser;

// The reference of the VALUE.REFERENCE element just opened, read to its end:
// its object path as a person reads it, and its content as CIM-XML to write it
// back. Throws TWYXException (kWyxFileNotCimXml) for a reference nested too deep.
TCIMValue ReadReference(XmlPullParser* xml);

}  // namespace cimxml

#endif
