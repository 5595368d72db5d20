#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "expect_status.h"
#include "piece_pipe.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

// Gives count pieces of size bytes ('a', 'b', ...), then fails or ends.
class CountingSource : public ByteSource {
public:
    CountingSource(size_t count, size_t size, bool fails) : count_(count), size_(size), fails_(fails) {}
    size_t Read(char* out, size_t capacity) override {
        if (given_ == count_) {
            if (fails_) {
                failed_ = true;
                throw TWYXException(kWyxFileTruncated, "cut");
            }
            return 0;
        }
        const size_t n = std::min(capacity, size_ - offset_);
        std::memset(out, 'a' + static_cast<int>(given_ % 26), n);
        offset_ += n;
        if (offset_ == size_) {
            offset_ = 0;
            ++given_;
        }
        return n;
    }
    size_t given() const { return given_; }
    bool failed() const { return failed_; }

private:
    size_t count_, size_, given_ = 0, offset_ = 0;
    std::atomic<bool> failed_{false};
    bool fails_;
};

std::string expected(size_t count, size_t size) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text.append(size, static_cast<char>('a' + i % 26));
    return text;
}

struct ReadCase {
    const char* what;
    size_t pieces, size, readSize;
    bool fails;
};

class ReadAheadTest : public testing::TestWithParam<ReadCase> {};

// Every byte arrives in order whatever the sizes on either side, and a failure
// comes after all that was read before it, never in its place.
TEST_P(ReadAheadTest, GivesEveryByteThenTheFailure) {
    const ReadCase& c = GetParam();
    CountingSource source(c.pieces, c.size, c.fails);
    ReadAhead ahead(&source);
    std::string got;
    std::string buffer(c.readSize, '\0');
    const auto readAll = [&] {
        while (const size_t n = ahead.Read(&buffer[0], buffer.size())) got.append(buffer, 0, n);
    };
    EXPECT_STATUS(readAll(), c.fails ? kWyxFileTruncated : kWyxOK);
    EXPECT_EQ(expected(c.pieces, c.size), got);
    if (!c.fails) {
        EXPECT_EQ(0u, ahead.Read(&buffer[0], buffer.size()));   // and nothing after the end
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ReadAheadTest,
    testing::Values(ReadCase{"empty", 0, 1, 7, false}, ReadCase{"empty, failing", 0, 1, 7, true},
                    ReadCase{"small reads of big pieces", 20, 300000, 4096, false},
                    ReadCase{"big reads of small pieces", 12000, 100, 1 << 20, false},
                    ReadCase{"a small source, read in place", 10, 1000, 4096, true},
                    ReadCase{"failure after many pieces", 40, 70000, 65536, true}),
    [](const testing::TestParamInfo<ReadCase>& info) {
        std::string name = info.param.what;
        std::replace_if(name.begin(), name.end(), [](char c) { return !isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

// A reader that gives up early learns of a failure already met ahead of it,
// and the source is its own again afterwards.
TEST(ReadAheadTest, StopRethrowsAFailureNotYetTaken) {
    const size_t kInPlace = 1 << 20;   // read before the thread starts
    CountingSource failing(13, 100000, true);
    ReadAhead ahead(&failing);
    std::string buffer(kInPlace + 60000, '\0');   // past where the thread starts, short of the end
    size_t read = 0;
    while (read < buffer.size()) read += ahead.Read(&buffer[read], buffer.size() - read);
    while (!failing.failed()) std::this_thread::yield();
    EXPECT_THROW(ahead.StopAndRethrow(), TWYXException);

    CountingSource endless(1000000, 1000, false);
    ReadAhead early(&endless);
    read = 0;
    while (read < buffer.size()) read += early.Read(&buffer[read], buffer.size() - read);
    EXPECT_NO_THROW(early.StopAndRethrow());
    EXPECT_LT(endless.given(), 2000u);   // a few pieces ahead at most, not the whole source
    char rest[1000];
    EXPECT_EQ(1000u, endless.Read(rest, sizeof rest));
}

struct WorkCase {
    const char* what;
    size_t pieces;
    long failAt;   // the piece whose work throws; -1 none
};

class WorkBehindTest : public testing::TestWithParam<WorkCase> {};

// Every piece is worked in order; a failure of the work reaches the maker at
// a later Put or at Finish, and no piece after it is worked.
TEST_P(WorkBehindTest, WorksEveryPieceOrReportsTheFailure) {
    const WorkCase& c = GetParam();
    std::string worked;
    long index = 0;
    WorkBehind behind([&](const std::string& piece) {
        if (index++ == c.failAt) throw TWYXException(kWyxDiskFull, "full");
        worked += piece;
    });
    std::string made;
    const auto feed = [&] {
        for (size_t i = 0; i < c.pieces; ++i) {
            std::string piece(1000, static_cast<char>('a' + i % 26));
            made += piece;
            behind.Put(&piece);
            EXPECT_TRUE(piece.empty());
        }
        behind.Finish();
    };
    EXPECT_STATUS(feed(), c.failAt >= 0 ? kWyxDiskFull : kWyxOK);
    const size_t kept = c.failAt >= 0 ? static_cast<size_t>(c.failAt) : c.pieces;
    EXPECT_EQ(made.substr(0, kept * 1000), worked);
}

INSTANTIATE_TEST_SUITE_P(Pieces, WorkBehindTest,
                         testing::Values(WorkCase{"none", 0, -1}, WorkCase{"many", 500, -1},
                                         WorkCase{"first fails", 50, 0}, WorkCase{"last fails", 50, 49},
                                         WorkCase{"middle fails", 500, 250}),
                         [](const testing::TestParamInfo<WorkCase>& info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

}  // namespace
