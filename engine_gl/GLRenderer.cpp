#include "GLRenderer.h"

#include <cstdlib>
#include <iostream>

namespace VESK_GL {

namespace {

// glGetString gives null for names a context does not answer (GL_EXTENSIONS
// in a core profile): that reads as an empty text.
std::string glText(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

bool isTexCoordUsage(int usage)
{
    return usage == VESK::DECLUSAGE_TEXCOORD || usage == VESK::DECLUSAGE_TEXCOORD_SHIFTED
        || (usage >= VESK::DECLUSAGE_EXTRA1 && usage <= VESK::DECLUSAGE_EXTRA4);
}

// The texture target of a texture-coordinate element, or 0 when its type has
// none (such elements are skipped whole, enabled and undone alike).
GLenum textureTargetOf(const VESK::CVertexElement& element)
{
    const int entry = element.type + (element.usage == VESK::DECLUSAGE_TEXCOORD_SHIFTED ? 1 : 0);
    if (entry < 0 || entry >= static_cast<int>(std::size(GLRenderer::textureTargets)))
        return 0;
    return GLRenderer::textureTargets[entry];
}

bool hasTypeEntry(const VESK::CVertexElement& element)
{
    return element.type > 0 && element.type < static_cast<int>(std::size(GLRenderer::typeComponents));
}

const void* bufferOffset(std::uintptr_t offset)
{
    return reinterpret_cast<const void*>(offset);
}

}  // namespace

void GLRenderer::initialize()
{
    version = glText(GL_VERSION);
    extensions = glText(GL_EXTENSIONS);
    vendor = glText(GL_VENDOR);
    rendererName = glText(GL_RENDERER);

    const GLenum status = glewInit();
    if (status != GLEW_OK) {
        std::cout << "GLEW ERROR : " << reinterpret_cast<const char*>(glewGetErrorString(status)) << std::endl;
        std::exit(-1);
    }

    requiredExtensions.push_back("GL_ARB_vertex_buffer_object");
    requiredExtensions.push_back("GL_ARB_multitexture");
    requiredExtensions.push_back("GL_ARB_texture_env_combine");
    for (const std::string& name : requiredExtensions)
        if (!checkExtension(name))
            std::exit(-1);
}

bool GLRenderer::checkExtension(std::string name)
{
    if (extensions.find(name) != std::string::npos)
        return true;
    std::cout << "GL_EXTENSION ERROR : " << name << " was not found!" << std::endl;
    return false;
}

void GLRenderer::setDeclaration(const VESK::CDeclaration* d)
{
    if (currentDeclaration != nullptr) {
        for (int i = 0; i < currentDeclaration->getElementCount(); ++i) {
            const VESK::CVertexElement& element = currentDeclaration->getElement(i);
            if (element.usage == VESK::DECLUSAGE_POSITION) {
                glDisableClientState(GL_VERTEX_ARRAY);
            } else if (element.usage == VESK::DECLUSAGE_NORMAL) {
                glDisableClientState(GL_NORMAL_ARRAY);
            } else if (element.usage == VESK::DECLUSAGE_COLOR) {
                glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
                glDisableClientState(GL_COLOR_ARRAY);
                glDisable(GL_COLOR_MATERIAL);
            } else if (isTexCoordUsage(element.usage)) {
                const GLenum target = textureTargetOf(element);
                if (target == 0)
                    continue;
                glActiveTextureARB(GL_TEXTURE0_ARB + element.unit);
                glDisable(target);
                glClientActiveTextureARB(GL_TEXTURE0_ARB + element.unit);
                glDisableClientState(GL_TEXTURE_COORD_ARRAY);
                glBindTexture(target, 0);
            }
        }
    }
    currentDeclaration = d;
}

void GLRenderer::dropDeclaration(const VESK::CDeclaration* d)
{
    if (d != nullptr && d == currentDeclaration)
        setDeclaration(nullptr);
}

void GLRenderer::setIndexBuffer(const CGLBuffer<GL_ELEMENT_ARRAY_BUFFER>& buffer)
{
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, buffer.getGLName());
    currentIndexSize = buffer.getElementSize();
}

void GLRenderer::setVertexBuffer(const CGLBuffer<GL_ARRAY_BUFFER>& buffer)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer.getGLName());
    if (currentDeclaration == nullptr)
        return;
    const GLsizei stride = buffer.getElementSize();
    for (int i = 0; i < currentDeclaration->getElementCount(); ++i) {
        const VESK::CVertexElement& element = currentDeclaration->getElement(i);
        if (!hasTypeEntry(element))
            continue;
        const GLint components = typeComponents[element.type];
        const GLenum type = typeGLTypes[element.type];
        const void* pointer = bufferOffset(static_cast<std::uint32_t>(element.offset));
        if (element.usage == VESK::DECLUSAGE_POSITION) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(components, type, stride, pointer);
        } else if (element.usage == VESK::DECLUSAGE_NORMAL) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(type, stride, pointer);
        } else if (element.usage == VESK::DECLUSAGE_COLOR) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(components, type, stride, pointer);
            glEnable(GL_COLOR_MATERIAL);
        } else if (isTexCoordUsage(element.usage)) {
            const GLenum target = textureTargetOf(element);
            if (target == 0)
                continue;
            glActiveTextureARB(GL_TEXTURE0_ARB + element.unit);
            glEnable(target);
            glClientActiveTextureARB(GL_TEXTURE0_ARB + element.unit);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(components, type, stride, pointer);
        }
    }
}

void GLRenderer::setMaterial(const VESK::CMaterial& material)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, material.ambient.data());
    glMaterialfv(GL_FRONT, GL_DIFFUSE, material.diffuse.data());
    glMaterialfv(GL_FRONT, GL_SPECULAR, material.specular.data());
    glMaterialfv(GL_FRONT, GL_EMISSION, material.emission.data());
    // GL rejects a shininess outside 0..128 (MTL files often hold up to
    // 1000); NaN becomes 0.
    float shininess = material.shininess;
    if (!(shininess >= 0.0f))
        shininess = 0.0f;
    else if (shininess > 128.0f)
        shininess = 128.0f;
    glMaterialf(GL_FRONT, GL_SHININESS, shininess);
}

void GLRenderer::drawIndexedPrimitive(PrimitiveType kind, int n, GLenum indexType, std::uintptr_t byteOffset)
{
    GLenum mode = GL_TRIANGLES;
    GLsizei count = 0;
    switch (kind) {
    case PRIMITIVE_TRIANGLE_LIST:
        mode = GL_TRIANGLES;
        count = 3 * n;
        break;
    case PRIMITIVE_TRIANGLE_STRIP:
        mode = GL_TRIANGLE_STRIP;
        count = n + 2;
        break;
    case PRIMITIVE_TRIANGLE_FAN:
        // A fan of n triangles needs n + 2 indices, as a strip does.
        mode = GL_TRIANGLE_FAN;
        count = n + 2;
        break;
    case PRIMITIVE_LINE_LIST:
        mode = GL_LINES;
        count = 2 * n;
        break;
    case PRIMITIVE_LINE_STRIP:
        mode = GL_LINE_STRIP;
        count = n + 1;
        break;
    case PRIMITIVE_POINT_LIST:
        mode = GL_POINTS;
        count = n;
        break;
    default:
        return;
    }
    glDrawElements(mode, count, indexType, bufferOffset(byteOffset));
}

}  // namespace VESK_GL
