#include "CGLTexture.h"

#include <GL/glu.h>

namespace VESK_GL {

template <GLenum Target>
CGLTexture<Target>::~CGLTexture()
{
    deleteObject();
}

template <GLenum Target>
void CGLTexture<Target>::deleteObject()
{
    if (glName == 0)
        return;
    glDeleteTextures(1, &glName);
    glName = 0;
    size = CMyVector<int, 3>();
}

template <GLenum Target>
void CGLTexture<Target>::createFromPicture(const VESK::CPicture& picture)
{
    createStorage(CMyVector<int, 3>(picture.size[0], picture.size[1], 0), picture.format, false);
    uploadPixels(picture);
}

template <GLenum Target>
void CGLTexture<Target>::createStorage(const CMyVector<int, 3>& newSize, int newFormat, bool singleLevel)
{
    deleteObject();
    if (newFormat < 0 || newFormat >= static_cast<int>(std::size(glFormats)))
        return;
    size = newSize;
    format = newFormat;
    glGenTextures(1, &glName);
    glBindTexture(Target, glName);

    wrapS = GL_REPEAT;
    wrapT = GL_REPEAT;
    wrapR = GL_REPEAT;
    minFilter = GL_NEAREST_MIPMAP_LINEAR;
    magFilter = GL_LINEAR;

    const GLFormat& gl = glFormats[format];
    GLint highestLevel = 0;
    if (!singleLevel) {
        for (unsigned int w = size[0], h = size[1]; w > 1 || h > 1; ++highestLevel) {
            if (w > 1)
                w /= 2;
            if (h > 1)
                h /= 2;
        }
    }
    glTexParameteri(Target, GL_TEXTURE_MAX_LEVEL, highestLevel);
    GLsizei w = size[0];
    GLsizei h = size[1];
    for (GLint level = 0; level <= highestLevel; ++level) {
        glTexImage2D(Target, level, gl.internal, w, h, 0, gl.external, gl.type, nullptr);
        if (w > 1)
            w /= 2;
        if (h > 1)
            h /= 2;
    }
    glBindTexture(Target, 0);
}

template <GLenum Target>
void CGLTexture<Target>::uploadPixels(const VESK::CPicture& picture)
{
    if (glName == 0 || picture.size[0] != size[0] || picture.size[1] != size[1] || picture.format != format)
        return;
    const GLFormat& gl = glFormats[format];
    glBindTexture(Target, glName);
    // Picture rows are tightly packed; GL's default row alignment of 4 would
    // read rows of 3-byte pixels past their end.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(Target, gl.internal, size[0], size[1], gl.external, gl.type, picture.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(Target, 0);
}

template <GLenum Target>
void CGLTexture<Target>::applyParameters() const
{
    glTexParameteri(Target, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(Target, GL_TEXTURE_WRAP_T, wrapT);
    glTexParameteri(Target, GL_TEXTURE_WRAP_R, wrapR);
    glTexParameteri(Target, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(Target, GL_TEXTURE_MAG_FILTER, magFilter);
}

template class CGLTexture<GL_TEXTURE_2D>;

}  // namespace VESK_GL
