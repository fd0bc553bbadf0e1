#include "tests/support/test_platform.hpp"

#include "platform/platform.hpp"

namespace zelm::testplatform {

std::uint32_t now_ms = 0;
std::uint32_t advance_ms = 0;
int timer_period_result = 1;
std::vector<std::string> events;
std::vector<std::string> log_lines;
void (*on_end_run)() = nullptr;

void reset() {
    now_ms = 0;
    advance_ms = 0;
    timer_period_result = 1;
    events.clear();
    log_lines.clear();
    on_end_run = nullptr;
}

}  // namespace zelm::testplatform

namespace zelm {

using testplatform::events;

std::uint32_t platform_time_ms() {
    const std::uint32_t now = testplatform::now_ms;
    testplatform::now_ms += testplatform::advance_ms;
    return now;
}

int platform_begin_timer_period() {
    events.emplace_back("begin_timer_period");
    return testplatform::timer_period_result;
}

void platform_end_timer_period() {
    events.emplace_back("end_timer_period");
}

void platform_message_box(const char* text, const char* caption, MessageIcon icon,
                          MessageOwner owner) {
    events.push_back(std::string("message_box(") + caption + ", " + text + ", " +
                     (icon == MessageIcon::error ? "error" : "none") + ", " +
                     (owner == MessageOwner::demo_window ? "demo_window" : "none") + ")");
}

void platform_log(const char* text) {
    testplatform::log_lines.emplace_back(text);
}

void platform_end_run() {
    events.emplace_back("end_run");
    if (testplatform::on_end_run != nullptr) {
        testplatform::on_end_run();
    }
}

void platform_restore_display_mode() {
    events.emplace_back("restore_display_mode");
}

void platform_swap_buffers() {
    events.emplace_back("swap_buffers");
}

}  // namespace zelm
