// Heap allocations made by a thousand frames of draw_frame. malloc and friends are replaced in
// this executable (forwarding to glibc's own entry points), and so is operator new through them.
// With the recording OpenGL only our own allocations are counted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <vector>

#include "mesh/heightfield.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "tests/support/recording_gl.hpp"
#include "tests/support/test_platform.hpp"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {

bool counting = false;
std::size_t allocation_count = 0;
std::size_t allocation_sizes[4096];

void note(std::size_t size) {
    if (counting) {
        if (allocation_count < std::size(allocation_sizes)) {
            allocation_sizes[allocation_count] = size;
        }
        ++allocation_count;
    }
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) {
    note(size);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    note(count * size);
    return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
    note(size);
    return __libc_realloc(block, size);
}
void free(void* block) {
    __libc_free(block);
}
}

namespace zelm {
namespace {

TEST(FrameAllocations, OnlyTheVertexNormalCountsPerAnimatedFrame) {
    ASSERT_EQ(chdir(ZELM_TEST_DATA_DIR), 0);
    datadir = static_cast<char*>(std::malloc(datadir_buffer_size));
    std::snprintf(datadir, datadir_buffer_size, "%s", ZELM_TEST_DATA_DIR);
    glrec::keep_pixels = false;
    scene_setup();
    ASSERT_TRUE(testplatform::events.size() >= 1);
    for (const std::string& e : testplatform::events) {
        ASSERT_EQ(e.find("message_box"), std::string::npos) << e;
    }
    // Room for the longest frame's calls and events, so the logs themselves never grow.
    glrec::gl_calls.reserve(100000);
    testplatform::events.reserve(16);

    const int frames = 1000;
    allocation_count = 0;
    counting = true;
    for (int i = 0; i < frames; ++i) {
        glrec::gl_calls.clear();
        testplatform::events.clear();
        testplatform::now_ms += 16;
        draw_frame();
    }
    counting = false;

    EXPECT_GT(glrec::gl_calls.size(), 6000u);  // the frame really drew the mesh and sprites
    ASSERT_EQ(allocation_count, static_cast<std::size_t>(frames));
    const std::size_t counts_size = sizeof(std::int32_t) * heightfield.vertex_count;
    for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(allocation_sizes[i], counts_size) << "allocation " << i;
    }
}

TEST(FrameAllocations, NoneWithTheHeightfieldOff) {
    ASSERT_EQ(chdir(ZELM_TEST_DATA_DIR), 0);
    datadir = static_cast<char*>(std::malloc(datadir_buffer_size));
    std::snprintf(datadir, datadir_buffer_size, "%s", ZELM_TEST_DATA_DIR);
    use_heightfield = 0;
    glrec::keep_pixels = false;
    scene_setup();
    glrec::gl_calls.reserve(100000);
    testplatform::events.reserve(16);

    allocation_count = 0;
    counting = true;
    for (int i = 0; i < 1000; ++i) {
        glrec::gl_calls.clear();
        testplatform::events.clear();
        testplatform::now_ms += 16;
        draw_frame();
    }
    counting = false;
    EXPECT_EQ(allocation_count, 0u);
}

}  // namespace
}  // namespace zelm
