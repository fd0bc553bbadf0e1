#include "tests/support/recording_gl.hpp"

#include <GL/glu.h>
#include <gtest/gtest.h>

namespace zelm {
namespace {

TEST(RecordingGl, RecordsCallsInOrderWithNamedEnums) {
    glrec::reset();
    glBindTexture(GL_TEXTURE_2D, 3);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluPerspective(90, 640.0 / 480.0, 1.01, 4096);
    const GLfloat v[3] = {1.5f, -2, 0.25f};
    glVertex3fv(v);
    const std::vector<std::string> expected = {
        "glBindTexture(GL_TEXTURE_2D, 3)",
        "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST)",
        "glBlendFunc(GL_SRC_ALPHA, GL_ONE)",
        "glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)",
        "gluPerspective(90, 1.33333, 1.01, 4096)",
        "glVertex3fv(1.5, -2, 0.25)",
    };
    EXPECT_EQ(glrec::texts(), expected);
    EXPECT_EQ(glrec::count(glrec::Fn::BindTexture), 1);
}

TEST(RecordingGl, KeepsUploadedPixelsWithTheirBinding) {
    glrec::reset();
    const unsigned char pixels[2 * 1 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    glBindTexture(GL_TEXTURE_2D, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    ASSERT_EQ(glrec::tex_images.size(), 1u);
    EXPECT_EQ(glrec::tex_images[0].texture, 4u);
    EXPECT_EQ(glrec::tex_images[0].pixels, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(glrec::to_text(glrec::gl_calls[1]),
              "glTexImage2D(GL_TEXTURE_2D, 0, 4, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)");
}

}  // namespace
}  // namespace zelm
