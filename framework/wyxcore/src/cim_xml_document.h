#ifndef WYXCORE_CIM_XML_DOCUMENT_H
#define WYXCORE_CIM_XML_DOCUMENT_H

#include <memory>
#include <string>

#include "xml_pull_parser.h"

namespace gzipcodec {
class InflateStream;
}

namespace cimxml {

// The XML document inside a file's bytes, as the parser reads it: inflated
// piece by piece when the file is compressed, and rewritten as UTF-8 when it is
// in another encoding. Throws TWYXException (kWyxFileNotXml, or for plain bytes
// kWyxFileNotCompressedOrXml) when the bytes do not start like XML, and the
// compressed stream's own faults (kWyxFileTruncated, ...) as they are met.
class CimXmlDocument : public XmlByteSource {
public:
    // bytes must outlive the document.
    explicit CimXmlDocument(const std::string& bytes);
    ~CimXmlDocument();
    size_t Read(char* out, size_t capacity) override;
    // For a fault found in the document: reads the rest of a compressed stream
    // and throws its own fault, if it has one.
    void ThrowStreamFault();

private:
    CimXmlDocument(const CimXmlDocument&);
    CimXmlDocument& operator=(const CimXmlDocument&);
    size_t readFile(char* out, size_t capacity);
    std::string convertToUtf8();

    const std::string& bytes_;
    size_t bytesRead_;
    std::unique_ptr<gzipcodec::InflateStream> inflater_;
    bool streamFailed_;
    std::string head_;        // the first bytes, given back before the rest
    size_t headRead_;
    std::string converted_;   // the whole document as UTF-8, when it was in another encoding
    size_t convertedRead_;
    bool isConverted_;
};

}  // namespace cimxml

#endif
