#include "wyxcore/exception.h"

#include "wyxcore/flat.h"

TWYXException::TWYXException(int status, const std::string& detail)
    : status_(status), detail_(detail), what_(wyxTranslateStatusCode(status)) {
    if (!detail_.empty()) what_ += ": " + detail_;
}

TWYXException::TWYXException(const TWYXException& other) = default;
TWYXException& TWYXException::operator=(const TWYXException& other) = default;
TWYXException::~TWYXException() noexcept {}

const char* TWYXException::what() const noexcept { return what_.c_str(); }
