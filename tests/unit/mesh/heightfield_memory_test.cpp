// The heightfield when the heap refuses: creation fails whole at any of its allocations, and
// the vertex-normal pass says it could not run. The test executable wraps malloc and calloc.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>

#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "tests/support/recording_gl.hpp"

namespace {

// The allocation (counted from 1 after arming) that fails; 0 lets every one through.
int fail_at = 0;
int allocations = 0;

bool refuse() {
    return fail_at != 0 && ++allocations == fail_at;
}

}  // namespace

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);

void* __wrap_malloc(std::size_t size) {
    return refuse() ? nullptr : __real_malloc(size);
}

void* __wrap_calloc(std::size_t count, std::size_t size) {
    return refuse() ? nullptr : __real_calloc(count, size);
}
}

namespace zelm {
namespace {

void arm(int n) {
    allocations = 0;
    fail_at = n;
}

TEST(HeightfieldMemory, EachFailedAllocationLeavesNoBufferAndNoMesh) {
    arm(0);
    ASSERT_NE(heightfield_create(8, 8, 16), 0);
    arm(1 << 30);
    ASSERT_NE(heightfield_create(8, 8, 16), 0);
    const int per_creation = allocations;  // the buffers, and the count array of one pass
    ASSERT_GE(per_creation, 7);

    for (int n = 1; n < per_creation; ++n) {
        SCOPED_TRACE(n);
        arm(n);
        EXPECT_EQ(heightfield_create(8, 8, 16), 0);
        arm(0);
        EXPECT_FALSE(heightfield_built());
        EXPECT_EQ(heightfield.positions, nullptr);
        EXPECT_EQ(heightfield.radial_distance, nullptr);
        EXPECT_EQ(heightfield.vertex_normals, nullptr);
        EXPECT_EQ(heightfield.vertex_colours, nullptr);
        EXPECT_EQ(heightfield.triangles, nullptr);
        EXPECT_EQ(heightfield.face_normals, nullptr);
        heightfield_request_state(heightfield_ripple);
        glrec::reset();
        heightfield_update();
        heightfield_draw();
        EXPECT_TRUE(glrec::gl_calls.empty());
    }
    // With the heap back, creation works again.
    ASSERT_NE(heightfield_create(8, 8, 16), 0);
    heightfield_release();
}

TEST(HeightfieldMemory, VertexNormalPassWithoutItsCountsSaysSo) {
    ASSERT_NE(heightfield_create(8, 8, 16), 0);
    arm(1);
    EXPECT_EQ(heightfield_vertex_normals(), 0);
    arm(1);
    heightfield_request_state(heightfield_ripple);
    EXPECT_EQ(heightfield_update(), 0);
    arm(0);
    EXPECT_EQ(heightfield_update(), 1);
    heightfield_release();
}

}  // namespace
}  // namespace zelm
