#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "wyxcore/os_specific.h"

namespace {

// Standard input replaced by a pipe for the test's lifetime.
class PipedStdin {
public:
    PipedStdin() : saved_(dup(STDIN_FILENO)) {
        int fds[2];
        EXPECT_EQ(0, pipe(fds));
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        writer_ = fds[1];
    }
    ~PipedStdin() {
        if (writer_ >= 0) close(writer_);
        dup2(saved_, STDIN_FILENO);
        close(saved_);
    }
    void send(const char* bytes) { EXPECT_GT(write(writer_, bytes, strlen(bytes)), 0); }
    void end() {
        close(writer_);
        writer_ = -1;
    }

private:
    int saved_;
    int writer_;
};

TEST(Keyboard, AByteOnAPipeIsAKeyUntilConsumed) {
    PipedStdin in;
    EXPECT_FALSE(TOSSpecific::IsKeyWaiting());
    in.send("xy");
    EXPECT_TRUE(TOSSpecific::IsKeyWaiting());
    EXPECT_TRUE(TOSSpecific::IsKeyWaiting());   // testing does not consume
    EXPECT_EQ('x', TOSSpecific::GetKeyboardChar());
    EXPECT_EQ('y', TOSSpecific::GetKeyboardChar());
    EXPECT_FALSE(TOSSpecific::IsKeyWaiting());
    in.end();
    EXPECT_FALSE(TOSSpecific::IsKeyWaiting());   // end of input is no key
    EXPECT_EQ(-1, TOSSpecific::GetKeyboardChar());
}

}  // namespace
