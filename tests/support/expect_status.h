#ifndef NORBIX_EXPECT_STATUS_H
#define NORBIX_EXPECT_STATUS_H

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

// EXPECT_STATUS(statement, status): the statement throws a TWYXException of that
// status; with kWyxOK, it throws nothing. EXPECT_STATUS_DETAIL also compares the
// exception's detail. Anything else thrown is a failure, not a crash of the test
// binary. The ASSERT_ forms end the test. More text may be streamed, as with EXPECT_EQ.
#define EXPECT_STATUS(statement, status) \
    NORBIX_STATUS_CHECK_(#statement, statement, status, std::nullopt, GTEST_NONFATAL_FAILURE_)
#define ASSERT_STATUS(statement, status) \
    NORBIX_STATUS_CHECK_(#statement, statement, status, std::nullopt, GTEST_FATAL_FAILURE_)
#define EXPECT_STATUS_DETAIL(statement, status, detail) \
    NORBIX_STATUS_CHECK_(#statement, statement, status, std::string(detail), GTEST_NONFATAL_FAILURE_)

#define NORBIX_STATUS_CHECK_(text, statement, status, detail, on_failure)                               \
    GTEST_ASSERT_(::testsupport::ThrowsStatus(text, [&]() { statement; }, (status), (detail)), on_failure)

namespace testsupport {

::testing::AssertionResult ThrowsStatus(const char* text, const std::function<void()>& statement, int status,
                                        const std::optional<std::string>& detail);

}  // namespace testsupport

#endif
