#include <gtest/gtest.h>

#include "url_encoding.h"

namespace {

TEST(UrlComponent, KeepsOnlyUnreservedCharacters) {
    EXPECT_EQ(UrlComponent("Fan 2 failed"), "Fan%202%20failed");
    EXPECT_EQ(UrlComponent("a-b_c.d~e"), "a-b_c.d~e");
    EXPECT_EQ(UrlComponent("#\"<>&\xe9"), "%23%22%3C%3E%26%E9");
}

}  // namespace
