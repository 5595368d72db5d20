#include <gtest/gtest.h>

#include "expect_status.h"
#include "html_writer.h"
#include "wyxcore/container.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

TEST(HtmlWriter, FailuresAreReportedWithTheirStatus) {
    TContainer container;
    const struct { TContainer* container; const char* directory; int status; } cases[] = {
        {nullptr, "html_writer_none", kWyxInvalidArgument},
        {&container, "html_writer_no_parent/sub", kWyxAccessDenied},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS(HtmlWriter().WriteContainer(c.container, c.directory), c.status) << c.directory;
    }
}

}  // namespace
