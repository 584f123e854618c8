#include <utility>
#include <vector>

#include "GLTest.h"
#include "engine_gl/CGLTexture.h"

using namespace VESK;
using namespace VESK_GL;

namespace {

using Sizes = std::vector<std::pair<GLint, GLint>>;

// Sizes of the levels 0 .. GL_TEXTURE_MAX_LEVEL of the texture, and of the
// one beyond (0 by 0 when nothing was allocated there), as GL holds them.
Sizes levelSizes(GLuint name)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint highest = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &highest);
    Sizes sizes(highest + 2);
    for (int level = 0; level <= highest + 1; ++level) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &sizes[level].first);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &sizes[level].second);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return sizes;
}

std::vector<std::uint8_t> levelPixels(GLuint name, int level, GLenum format, std::size_t bytes)
{
    std::vector<std::uint8_t> pixels(bytes);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

}  // namespace

using TextureTest = GLTest;

// Each level halves each side, rounding down, to 1 by 1 (a single level on
// request), and the picture fills every level.
TEST_F(TextureTest, PicturePixelsFillEveryLevelTopRowFirst)
{
    CGLTexture<GL_TEXTURE_2D> texture;
    texture.createStorage(CMyVector<int, 3>(100, 25, 0), PICTURE_BGRA, false);
    EXPECT_EQ(levelSizes(texture.getGLName()),
              (Sizes{{100, 25}, {50, 12}, {25, 6}, {12, 3}, {6, 1}, {3, 1}, {1, 1}, {0, 0}}));
    texture.createStorage(CMyVector<int, 3>(256, 256, 0), PICTURE_BGR, true);
    EXPECT_EQ(levelSizes(texture.getGLName()), (Sizes{{256, 256}, {0, 0}}));

    // Rows of 3-byte pixels reach GL whole (the model test draws them); GL's
    // default unpack alignment of 4 is restored afterwards.
    const GLuint first = texture.getGLName();
    const std::uint8_t grey[] = {10, 20, 30, 40, 50, 60, 70, 80};
    texture.createFromPicture(CPicture(CMyVector<int, 2>(4, 2), PICTURE_LUMINANCE, grey));
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(levelPixels(texture.getGLName(), 0, GL_LUMINANCE, 8), std::vector<std::uint8_t>(grey, grey + 8));
    // Level 1 is GLU's average of each two by two texels.
    EXPECT_EQ(levelPixels(texture.getGLName(), 1, GL_LUMINANCE, 2), (std::vector<std::uint8_t>{35, 55}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    // A picture other than the one the storage was made for is not read.
    texture.uploadPixels(CPicture(CMyVector<int, 2>(8, 2), PICTURE_LUMINANCE, nullptr));
    EXPECT_EQ(levelPixels(texture.getGLName(), 0, GL_LUMINANCE, 8), std::vector<std::uint8_t>(grey, grey + 8));

    // A format outside the picture formats leaves no texture.
    const GLuint last = texture.getGLName();
    texture.createStorage(CMyVector<int, 3>(8, 4, 0), 3, false);
    EXPECT_EQ(texture.getGLName(), 0u);
    EXPECT_FALSE(glIsTexture(last));
}
