#ifndef NORBIX_URL_ENCODING_H
#define NORBIX_URL_ENCODING_H

#include <string>

// A text as one component of a URL: every byte but letters, digits and "-._~"
// percent-encoded.
std::string UrlComponent(const std::string& value);

#endif
