#include "CGLBuffer.h"

namespace VESK_GL {

template <GLenum Target>
CGLBuffer<Target>::~CGLBuffer()
{
    if (glName != 0) {
        glDeleteBuffersARB(1, &glName);
        glName = 0;
    }
}

template <GLenum Target>
void CGLBuffer<Target>::create(int count, int size, unsigned int usage)
{
    release();
    elementSize = size;
    elementCount = count;
    glGenBuffersARB(1, &glName);
    glBindBufferARB(Target, glName);
    // 64-bit product: a byte count beyond 2 GiB reaches GL whole instead of
    // wrapping to a small or negative size.
    glBufferDataARB(Target, static_cast<GLsizeiptrARB>(count) * size, nullptr, usage);
}

template <GLenum Target>
bool CGLBuffer<Target>::release()
{
    if (glName == 0)
        return false;
    glDeleteBuffersARB(1, &glName);
    glName = 0;
    return true;
}

template <GLenum Target>
std::uint8_t* CGLBuffer<Target>::lock(int first, unsigned int access)
{
    glBindBufferARB(Target, glName);
    auto* base = static_cast<std::uint8_t*>(glMapBufferARB(Target, access));
    if (base == nullptr)
        return nullptr;
    return base + static_cast<std::ptrdiff_t>(first) * elementSize;
}

template <GLenum Target>
bool CGLBuffer<Target>::unlock()
{
    return glUnmapBufferARB(Target) != GL_FALSE;
}

template class CGLBuffer<GL_ARRAY_BUFFER>;
template class CGLBuffer<GL_ELEMENT_ARRAY_BUFFER>;

}  // namespace VESK_GL
