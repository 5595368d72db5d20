#ifndef WYXCORE_CIM_XML_DOCUMENT_H
#define WYXCORE_CIM_XML_DOCUMENT_H

#include <memory>
#include <string>

#include "xml_pull_parser.h"

namespace gzipcodec {
class InflateStream;
}

namespace cimxml {

// The XML document inside a file's bytes, as the parser reads it: read and
// inflated piece by piece, and rewritten as UTF-8 when it is in another
// encoding (such a document may be at most 16 MiB). Throws TWYXException
// (kWyxFileNotXml, or for plain bytes kWyxFileNotCompressedOrXml) when the
// bytes do not start like XML, kWyxFileTooLarge, and the compressed stream's
// own faults (kWyxFileTruncated, ...) as they are met.
class CimXmlDocument : public XmlByteSource {
public:
    // file must outlive the document.
    explicit CimXmlDocument(ByteSource* file);
    ~CimXmlDocument() override;
    CimXmlDocument(const CimXmlDocument&) = delete;
    CimXmlDocument& operator=(const CimXmlDocument&) = delete;
    size_t Read(char* out, size_t capacity) override;
    // For a fault found in the document: reads the rest of a compressed stream
    // and throws its own fault, if it has one.
    void ThrowStreamFault();

private:
    // The file's first bytes (read to tell a compressed file), then the rest.
    class RawFile : public ByteSource {
    public:
        explicit RawFile(ByteSource* file);
        bool LooksCompressed() const;
        size_t Read(char* out, size_t capacity) override;

    private:
        ByteSource* file_;
        std::string start_;
        size_t startRead_ = 0;
    };

    size_t readFile(char* out, size_t capacity);
    std::string convertToUtf8();

    RawFile raw_;
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
