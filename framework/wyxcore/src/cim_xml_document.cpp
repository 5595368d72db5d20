#include "cim_xml_document.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <pugixml.hpp>

#include <algorithm>
#include <cstring>

#include "gzip_codec.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace cimxml {

namespace {

// Enough to hold an XML declaration.
const size_t kHeadSize = 4096;
// A document in another encoding is parsed whole to be converted.
const size_t kMaxConverted = 16 * 1024 * 1024;

size_t copyFrom(const std::string& text, size_t* read, char* out, size_t capacity) {
    const size_t n = std::min(capacity, text.size() - *read);
    std::memcpy(out, text.data() + *read, n);
    *read += n;
    return n;
}

bool startsLikeXml(const std::string& data) {
    size_t i = 0;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
    else if (data.compare(0, 2, "\xFF\xFE") == 0 || data.compare(0, 2, "\xFE\xFF") == 0) return true;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
    return i < data.size() && data[i] == '<';
}

// UTF-16, or an encoding other than UTF-8 named in the XML declaration.
bool otherEncoding(const std::string& head) {
    if (head.compare(0, 2, "\xFF\xFE") == 0 || head.compare(0, 2, "\xFE\xFF") == 0) return true;
    const size_t start = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (head.compare(start, 5, "<?xml") != 0) return false;
    const size_t close = head.find("?>", start);
    const size_t key = head.find("encoding", start);
    if (key == std::string::npos || key > close) return false;
    const size_t quote = head.find_first_of("\"'", key);
    if (quote == std::string::npos || quote > close) return false;
    const size_t end = head.find(head[quote], quote + 1);
    if (end == std::string::npos || end > close) return false;
    const std::string name = boost::algorithm::to_lower_copy(head.substr(quote + 1, end - quote - 1));
    return name != "utf-8" && name != "utf8" && name != "us-ascii" && name != "ascii";
}

}  // namespace

CimXmlDocument::RawFile::RawFile(ByteSource* file) : file_(file), start_(2, '\0') {
    size_t size = 0;
    while (size < start_.size()) {
        const size_t n = file_->Read(&start_[size], start_.size() - size);
        if (n == 0) break;
        size += n;
    }
    start_.resize(size);
}

bool CimXmlDocument::RawFile::LooksCompressed() const { return gzipcodec::LooksCompressed(start_); }

size_t CimXmlDocument::RawFile::Read(char* out, size_t capacity) {
    if (startRead_ < start_.size()) return copyFrom(start_, &startRead_, out, capacity);
    return file_->Read(out, capacity);
}

CimXmlDocument::CimXmlDocument(ByteSource* file)
    : raw_(file), inflater_(raw_.LooksCompressed() ? std::make_unique<gzipcodec::InflateStream>(&raw_) : nullptr),
      streamFailed_(false), head_(kHeadSize, '\0'), headRead_(0), convertedRead_(0), isConverted_(false) {
    size_t size = 0;
    try {
        while (size < head_.size()) {
            const size_t n = readFile(&head_[size], head_.size() - size);
            if (n == 0) break;
            size += n;
        }
        head_.resize(size);
        if (!startsLikeXml(head_))
            throw TWYXException(inflater_ ? kWyxFileNotXml : kWyxFileNotCompressedOrXml, "no XML markup at the start");
        if (otherEncoding(head_)) {
            converted_ = convertToUtf8();
            isConverted_ = true;
        }
    } catch (const TWYXException&) {
        ThrowStreamFault();
        throw;
    }
}

CimXmlDocument::~CimXmlDocument() {}

size_t CimXmlDocument::Read(char* out, size_t capacity) {
    if (isConverted_) return copyFrom(converted_, &convertedRead_, out, capacity);
    if (headRead_ < head_.size()) return copyFrom(head_, &headRead_, out, capacity);
    return readFile(out, capacity);
}

size_t CimXmlDocument::readFile(char* out, size_t capacity) {
    if (!inflater_) return raw_.Read(out, capacity);
    try {
        return inflater_->Read(out, capacity);
    } catch (const TWYXException&) {
        streamFailed_ = true;
        throw;
    }
}

void CimXmlDocument::ThrowStreamFault() {
    if (!inflater_ || streamFailed_) return;
    char buffer[65536];
    while (readFile(buffer, sizeof buffer)) {
    }
}

// Through a full parse: such files come from other tools and are small.
std::string CimXmlDocument::convertToUtf8() {
    std::string whole;
    char buffer[65536];
    while (const size_t n = Read(buffer, sizeof buffer)) {
        if (whole.size() + n > kMaxConverted)
            throw TWYXException(kWyxFileTooLarge, "a document in another encoding than UTF-8 beyond 16 MiB");
        whole.append(buffer, n);
    }
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(
        whole.data(), whole.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!parsed) {
        // The parser's offset can lie past the bytes it was given (it counts in its own decoding).
        const size_t counted = std::min(static_cast<size_t>(parsed.offset), whole.size());
        throw TWYXException(kWyxFileNotXml,
                            std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset) + " (line " +
                                std::to_string(1 + std::count(whole.begin(), whole.begin() + counted, '\n')) + ")");
    }
    struct Collect : pugi::xml_writer {
        std::string text;
        void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    } utf8;
    document.save(utf8, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return utf8.text;
}

}  // namespace cimxml
