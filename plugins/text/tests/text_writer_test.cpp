#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "expect_status.h"
#include "support/sample_container.h"
#include "text_writer.h"
#include "wyxcore/exception.h"
#include "wyxcore/status.h"

namespace {

TEST(TextWriter, WritesBasePlusTxt) {
    TContainer container;
    FillSampleContainer(container);
    TextWriter().WriteContainer(&container, "text_writer_out");
    std::ifstream in("text_writer_out.txt");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().compare(0, 35, "norbix diagnostic report\nCollected "), 0);
    EXPECT_NE(text.str().find("  Host name           srv01\n"), std::string::npos);
    in.close();
    std::remove("text_writer_out.txt");
}

TEST(TextWriter, FailuresAreReportedWithTheirStatus) {
    TContainer container;
    const struct { TContainer* container; const char* base; int status; } cases[] = {
        {nullptr, "text_writer_none", kWyxInvalidArgument},
        {&container, "no_such_directory/report", kWyxAccessDenied},
    };
    for (const auto& c : cases) {
        EXPECT_STATUS(TextWriter().WriteContainer(c.container, c.base), c.status) << c.base;
    }
}

}  // namespace
