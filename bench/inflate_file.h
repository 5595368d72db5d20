#ifndef NORBIX_BENCH_INFLATE_FILE_H
#define NORBIX_BENCH_INFLATE_FILE_H

#include <string>

namespace bench {

// What any reader of a compressed file must do at least: read it and inflate
// it into a buffer of the size its gzip trailer announces (one member, as our
// writer makes).
void InflateFile(const std::string& path, std::string* out);

}  // namespace bench

#endif
