#include <memory>
#include <utility>
#include <vector>

#include "GLTest.h"
#include "engine_gl/CGLTexture.h"

using namespace VESK;
using namespace VESK_GL;

namespace {

using Sizes = std::vector<std::pair<int, int>>;

GLint boundLevelParameter(int level, GLenum name)
{
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

// Sizes of the levels 0 .. GL_TEXTURE_MAX_LEVEL of the texture, as GL holds them.
Sizes levelSizes(GLuint name)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint highest = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &highest);
    Sizes sizes;
    for (int level = 0; level <= highest; ++level)
        sizes.emplace_back(boundLevelParameter(level, GL_TEXTURE_WIDTH), boundLevelParameter(level, GL_TEXTURE_HEIGHT));
    // Nothing beyond the highest level was allocated.
    EXPECT_EQ(boundLevelParameter(highest + 1, GL_TEXTURE_WIDTH), 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    return sizes;
}

Sizes storageLevels(int width, int height, bool singleLevel = false)
{
    CGLTexture<GL_TEXTURE_2D> texture;
    texture.createStorage(CMyVector<int, 3>(width, height, 0), PICTURE_BGR, singleLevel);
    return levelSizes(texture.getGLName());
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

// Each level halves each side, rounding down, to 1 by 1, or there is a single
// level on request; each picture format has its internal format.
TEST_F(TextureTest, StorageHasEveryMipLevelInThePicturesFormatAndAnUnknownFormatNoTexture)
{
    EXPECT_EQ(storageLevels(256, 16),
              (Sizes{{256, 16}, {128, 8}, {64, 4}, {32, 2}, {16, 1}, {8, 1}, {4, 1}, {2, 1}, {1, 1}}));
    EXPECT_EQ(storageLevels(100, 50), (Sizes{{100, 50}, {50, 25}, {25, 12}, {12, 6}, {6, 3}, {3, 1}, {1, 1}}));
    EXPECT_EQ(storageLevels(256, 256, true), (Sizes{{256, 256}}));
    CGLTexture<GL_TEXTURE_2D> texture;
    const GLint internalFormats[3] = {GL_RGB8, GL_RGBA8, GL_LUMINANCE8};
    for (int format = PICTURE_BGR; format <= PICTURE_LUMINANCE; ++format) {
        texture.createStorage(CMyVector<int, 3>(8, 4, 0), format, false);
        glBindTexture(GL_TEXTURE_2D, texture.getGLName());
        EXPECT_EQ(boundLevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), internalFormats[format]);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    const GLuint previous = texture.getGLName();
    texture.createStorage(CMyVector<int, 3>(8, 4, 0), 3, false);
    EXPECT_EQ(texture.getGLName(), 0u);
    EXPECT_FALSE(glIsTexture(previous));
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, PicturePixelsFillEveryLevelTopRowFirst)
{
    // Two rows of two 3-byte pixels: rows of 6 bytes, not a multiple of 4.
    const std::uint8_t bgr[] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    const CPicture picture(CMyVector<int, 2>(2, 2), PICTURE_BGR, bgr);
    auto owned = std::make_unique<CGLTexture<GL_TEXTURE_2D>>();
    CGLTexture<GL_TEXTURE_2D>& texture = *owned;
    texture.createFromPicture(picture);
    const GLuint first = texture.getGLName();
    EXPECT_EQ(levelPixels(first, 0, GL_BGR, 12), std::vector<std::uint8_t>(bgr, bgr + 12));
    // Level 1 is GLU's rounded average of the four texels.
    EXPECT_EQ(levelPixels(first, 1, GL_BGR, 3), (std::vector<std::uint8_t>{128, 128, 128}));
    EXPECT_EQ(levelSizes(first), (Sizes{{2, 2}, {1, 1}}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);

    const std::uint8_t grey[] = {10, 20, 30, 40, 50, 60, 70, 80};
    const CPicture luminance(CMyVector<int, 2>(4, 2), PICTURE_LUMINANCE, grey);
    texture.createFromPicture(luminance);
    EXPECT_NE(texture.getGLName(), 0u);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(levelPixels(texture.getGLName(), 0, GL_LUMINANCE, 8), std::vector<std::uint8_t>(grey, grey + 8));
    EXPECT_EQ(levelSizes(texture.getGLName()), (Sizes{{4, 2}, {2, 1}, {1, 1}}));

    // A picture other than the one the storage was made for is not read.
    const CPicture larger(CMyVector<int, 2>(8, 2), PICTURE_LUMINANCE, nullptr);
    texture.uploadPixels(larger);
    EXPECT_EQ(levelPixels(texture.getGLName(), 0, GL_LUMINANCE, 8), std::vector<std::uint8_t>(grey, grey + 8));

    const GLuint last = texture.getGLName();
    owned.reset();
    EXPECT_FALSE(glIsTexture(last));
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}
