#include "expect_status.h"

#include "wyxcore/flat.h"

namespace testsupport {

namespace {

std::string statusText(int status) {
    const char* text = wyxTranslateStatusCode(status);
    return std::to_string(status) + " (" + (text ? text : "no text") + ")";
}

}  // namespace

::testing::AssertionResult ThrowsStatus(const char* text, const std::function<void()>& statement, int status,
                                        const std::optional<std::string>& detail) {
    std::string expected = std::string("Expected: ") + text;
    if (status == kWyxOK) expected += " throws nothing";
    else expected += " throws status " + statusText(status);
    if (detail && status != kWyxOK) expected += " with detail [" + *detail + "]";
    try {
        statement();
    } catch (const TWYXException& e) {
        if (e.GetStatus() == status && (!detail || e.GetDetail() == *detail)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << expected << "\n  Actual: it throws status " << statusText(e.GetStatus())
                                             << " with detail [" << e.GetDetail() << "]";
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << expected << "\n  Actual: it throws another exception: " << e.what();
    } catch (...) {
        return ::testing::AssertionFailure() << expected << "\n  Actual: it throws something that is no exception";
    }
    if (status == kWyxOK) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << expected << "\n  Actual: it throws nothing";
}

}  // namespace testsupport
