// An X error that recurs every frame is reported once; a different one still is.
#include <gtest/gtest.h>

#include "app/x11/x11_errors.hpp"

#include <cstdio>

extern "C" int XGetErrorText(Display*, int code, char* buffer, int length) {
    std::snprintf(buffer, static_cast<std::size_t>(length), "error %d", code);
    return 0;
}

namespace zelm {
namespace {

TEST(X11Errors, AnErrorThatRecursIsReportedOnce) {
    XErrorEvent bad_gc{};
    bad_gc.error_code = BadGC;
    bad_gc.request_code = 130;
    bad_gc.minor_code = 3;
    XErrorEvent bad_match = bad_gc;
    bad_match.error_code = BadMatch;
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {
        report_x_error_once(nullptr, bad_gc);
    }
    report_x_error_once(nullptr, bad_match);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zelm: X error: error 13 (request 130.3)\nzelm: X error: error 8 (request 130.3)\n");
}

}  // namespace
}  // namespace zelm
