#include <cstring>
#include <vector>

#include "GLTest.h"
#include "engine_gl/CGLBuffer.h"

using namespace VESK_GL;

namespace {

GLint boundSize(GLenum target)
{
    GLint size = -1;
    glGetBufferParameterivARB(target, GL_BUFFER_SIZE_ARB, &size);
    return size;
}

std::vector<std::uint8_t> readBack(GLenum target, GLuint name, int bytes)
{
    std::vector<std::uint8_t> contents(bytes);
    glBindBufferARB(target, name);
    glGetBufferSubDataARB(target, 0, bytes, contents.data());
    return contents;
}

}  // namespace

using BufferTest = GLTest;

TEST_F(BufferTest, CreateAllocatesLockWritesAndReleaseDeletes)
{
    CGLBuffer<GL_ARRAY_BUFFER> buffer;
    EXPECT_EQ(buffer.getGLName(), 0u);
    EXPECT_FALSE(buffer.release());

    buffer.create(5, 32, GL_STATIC_DRAW_ARB);
    const GLuint name = buffer.getGLName();
    ASSERT_NE(name, 0u);
    EXPECT_EQ(buffer.getElementCount(), 5);
    EXPECT_EQ(buffer.getElementSize(), 32);
    GLint bound = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    EXPECT_EQ(boundSize(GL_ARRAY_BUFFER_ARB), 160);
    GLint usage = 0;
    glGetBufferParameterivARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_USAGE_ARB, &usage);
    EXPECT_EQ(usage, GL_STATIC_DRAW_ARB);

    std::uint8_t* element3 = buffer.lock(3, GL_READ_WRITE_ARB);
    ASSERT_NE(element3, nullptr);
    void* base = nullptr;
    glGetBufferPointervARB(GL_ARRAY_BUFFER_ARB, GL_BUFFER_MAP_POINTER_ARB, &base);
    EXPECT_EQ(element3, static_cast<std::uint8_t*>(base) + 96);
    std::uint8_t* start = static_cast<std::uint8_t*>(base);
    for (int i = 0; i < 160; ++i)
        start[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_TRUE(buffer.unlock());

    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    const std::vector<std::uint8_t> contents = readBack(GL_ARRAY_BUFFER_ARB, name, 160);
    for (int i = 0; i < 160; ++i)
        ASSERT_EQ(contents[i], static_cast<std::uint8_t>(i * 7)) << i;

    EXPECT_TRUE(glIsBufferARB(name));
    EXPECT_TRUE(buffer.release());
    EXPECT_FALSE(glIsBufferARB(name));
    EXPECT_EQ(buffer.getGLName(), 0u);
    EXPECT_EQ(buffer.getElementCount(), 5);
    EXPECT_EQ(buffer.getElementSize(), 32);
    EXPECT_FALSE(buffer.release());
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BufferTest, SecondCreateAndDestructionDeleteTheGLBuffer)
{
    GLuint first = 0;
    GLuint second = 0;
    {
        CGLBuffer<GL_ELEMENT_ARRAY_BUFFER> buffer;
        buffer.create(6, 2, GL_STATIC_DRAW_ARB);
        first = buffer.getGLName();
        EXPECT_EQ(boundSize(GL_ELEMENT_ARRAY_BUFFER_ARB), 12);
        buffer.create(3, 4, GL_STATIC_DRAW_ARB);
        second = buffer.getGLName();
        EXPECT_FALSE(glIsBufferARB(first));
        EXPECT_TRUE(glIsBufferARB(second));
        EXPECT_EQ(boundSize(GL_ELEMENT_ARRAY_BUFFER_ARB), 12);
        GLint bound = 0;
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), second);
    }
    EXPECT_FALSE(glIsBufferARB(second));
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BufferTest, EmptyBufferGetsANameButCannotBeMapped)
{
    CGLBuffer<GL_ARRAY_BUFFER> buffer;
    buffer.create(0, 32, GL_STATIC_DRAW_ARB);
    EXPECT_NE(buffer.getGLName(), 0u);
    EXPECT_TRUE(glIsBufferARB(buffer.getGLName()));
    EXPECT_EQ(boundSize(GL_ARRAY_BUFFER_ARB), 0);
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(buffer.lock(0, GL_READ_WRITE_ARB), nullptr);
    EXPECT_NE(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}
