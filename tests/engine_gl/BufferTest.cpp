#include <algorithm>
#include <vector>

#include "GLTest.h"
#include "engine_gl/CGLBuffer.h"

using namespace VESK_GL;

using BufferTest = GLTest;

TEST_F(BufferTest, LockedBytesReachGLAndEveryReplacementOrReleaseDeletesTheName)
{
    GLuint last = 0;
    {
        CGLBuffer<GL_ARRAY_BUFFER> buffer;
        EXPECT_FALSE(buffer.release());
        buffer.create(5, 32, GL_STATIC_DRAW_ARB);
        const GLuint first = buffer.getGLName();
        std::uint8_t* element3 = buffer.lock(3, GL_READ_WRITE_ARB);
        ASSERT_NE(element3, nullptr);
        void* base = nullptr;
        glGetBufferPointervARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_MAP_POINTER_ARB, &base);
        ASSERT_EQ(element3, static_cast<std::uint8_t*>(base) + 96);
        std::vector<std::uint8_t> written(160);
        for (int i = 0; i < 160; ++i)
            written[i] = static_cast<std::uint8_t>(i * 7);
        std::copy(written.begin(), written.end(), static_cast<std::uint8_t*>(base));
        EXPECT_TRUE(buffer.unlock());

        std::vector<std::uint8_t> contents(160);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, first);
        glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, 160, contents.data());
        EXPECT_EQ(contents, written);

        buffer.create(3, 4, GL_STATIC_DRAW_ARB);
        EXPECT_FALSE(glIsBufferARB(first));
        const GLuint second = buffer.getGLName();
        EXPECT_TRUE(buffer.release());
        EXPECT_FALSE(glIsBufferARB(second));
        EXPECT_FALSE(buffer.release());
        buffer.create(3, 4, GL_STATIC_DRAW_ARB);
        last = buffer.getGLName();
        EXPECT_TRUE(glIsBufferARB(last));
    }
    EXPECT_FALSE(glIsBufferARB(last));
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}
