// libFuzzer entry point for the XScreenSaver programs list: the input is a ~/.xscreensaver.
// Besides memory faults and undefined behaviour it stops on a broken promise: adding zelm to a
// list without it and taking it out again does not give the same bytes back, or a removal
// leaves a zelm entry or an entry the file did not have (a fragment of a wrapped one).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/linux/xscreensaver_programs.hpp"

namespace {

void fail(const char* why) {
    std::fprintf(stderr, "xscreensaver_programs_fuzz: %s\n", why);
    std::abort();
}

// Whether part is what is left of whole with some entries taken out.
bool is_subsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    std::size_t i = 0;
    for (const std::string& entry : whole) {
        i += i < part.size() && part[i] == entry ? 1 : 0;
    }
    return i == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelm;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ProgramsEdit cleared = xscreensaver_without_zelm(text);
    if (!cleared.error.empty()) {
        return 0;
    }
    if (cleared.text != text) {
        if (xscreensaver_without_zelm(cleared.text).text != cleared.text) {
            fail("a removal left a zelm entry");
        }
        if (!is_subsequence(xscreensaver_programs(cleared.text), xscreensaver_programs(text))) {
            fail("a removal left an entry the file did not have");
        }
        return 0;
    }
    // No zelm entry: adding one must work wherever there is a list, and come out again whole.
    const ProgramsEdit added = xscreensaver_with_zelm(text, "");
    if (!added.error.empty()) {
        fail("a list without zelm could not take its entry");
    }
    if (added.text != text) {
        const ProgramsEdit back = xscreensaver_without_zelm(added.text);
        if (!back.error.empty() || back.text != text) {
            fail("adding zelm and taking it out again did not give the same bytes back");
        }
    }
    return 0;
}
