#ifndef WYXCORE_EXCEPTION_H
#define WYXCORE_EXCEPTION_H

#include <exception>
#include <string>

#include "wyxcore/export.h"

// Thrown by the framework's class operations. what() is the translated status
// text, followed by ": " and the detail when one was given.
class WYX_API TWYXException : public std::exception {
public:
    explicit TWYXException(int status, const std::string& detail = std::string());
    TWYXException(const TWYXException& other);
    TWYXException& operator=(const TWYXException& other);
    ~TWYXException() noexcept override;

    int GetStatus() const { return status_; }
    const std::string& GetDetail() const { return detail_; }
    const char* what() const noexcept override;

private:
    int status_;
    std::string detail_;
    std::string what_;
};

#endif
