#pragma once

#include <GL/glew.h>

#include "../engine/VirtualTexture.h"
#include "../engine/loaders/CPicture.h"

// A fully mipmapped GL texture made from one picture. The texture owns its GL
// name from createStorage() to the next createStorage() or its destruction;
// it is filled on the GL thread after GLRenderer::initialize() and, once
// registered, owned by the resource manager.

namespace VESK_GL {

template <GLenum Target>
class CGLTexture : public VESK::VirtualTexture {
public:
    // External format, internal format and type of each picture format.
    struct GLFormat {
        GLenum external;
        GLint internal;
        GLenum type;
    };
    static constexpr GLFormat glFormats[3] = {
        {GL_BGR, GL_RGB8, GL_UNSIGNED_BYTE},
        {GL_BGRA, GL_RGBA8, GL_UNSIGNED_BYTE},
        {GL_LUMINANCE, GL_LUMINANCE8, GL_UNSIGNED_BYTE},
    };

    CGLTexture() = default;
    ~CGLTexture() override;

    // createStorage for the picture's size and format, then uploadPixels.
    void createFromPicture(const VESK::CPicture& picture);
    // Replaces any GL object by a new one with every mip level allocated (only
    // level 0 when singleLevel) and records size, format and sampling
    // parameters. A format outside the table leaves the texture empty.
    void createStorage(const CMyVector<int, 3>& size, int format, bool singleLevel);
    // Builds every level from the picture; skipped when the picture's size or
    // format differs from what createStorage recorded.
    void uploadPixels(const VESK::CPicture& picture);
    // Sends the recorded wrap modes and filters to the texture bound to Target.
    void applyParameters() const;

    GLuint getGLName() const { return glName; }

private:
    void deleteObject();

    GLuint glName = 0;
};

}  // namespace VESK_GL
