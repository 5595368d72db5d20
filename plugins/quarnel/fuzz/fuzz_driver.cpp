// The driver of the fuzz targets: only the box ID is asked for.
#include "fuzz_driver.h"
#include "vantlib/SPLibrary.h"

struct SPLibrary::Impl {
    int boxId = 0;
};

namespace {
int currentBoxId = 0;
}

void setFuzzBoxId(int boxId) { currentBoxId = boxId; }

SPLibrary::SPLibrary() : impl_(new Impl) { impl_->boxId = currentBoxId; }
SPLibrary::~SPLibrary() { delete impl_; }
int SPLibrary::gettolmBoxID() { return impl_->boxId; }
