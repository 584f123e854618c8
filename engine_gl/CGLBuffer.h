#pragma once

#include <GL/glew.h>

#include "../engine/VirtualBuffer.h"

// A GPU buffer object on one GL buffer target (GL_ARRAY_BUFFER for vertices,
// GL_ELEMENT_ARRAY_BUFFER for indices), reached through the ARB vertex buffer
// object entry points. The buffer owns its GL name from create() to release()
// or destruction; it may only be created after GLRenderer::initialize().

namespace VESK_GL {

template <GLenum Target>
class CGLBuffer : public VESK::VirtualBuffer {
public:
    CGLBuffer() = default;
    ~CGLBuffer() override;

    // Leaves the buffer bound to Target.
    void create(int count, int elementSize, unsigned int usage) override;
    bool release() override;
    // Maps the whole buffer and leaves it bound to Target; null when GL
    // refuses the mapping.
    std::uint8_t* lock(int first, unsigned int access) override;
    // Unmaps what is bound to Target: call it right after lock().
    bool unlock() override;

    GLuint getGLName() const { return glName; }

private:
    GLuint glName = 0;
};

}  // namespace VESK_GL
