#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../engine/CDeclaration.h"
#include "../engine/loaders/CMaterial.h"
#include "../tools/CSingleton.h"
#include "CGLBuffer.h"

// The one object through which the engine sets OpenGL drawing state: it checks
// the context at start-up, turns a vertex declaration plus a vertex buffer into
// client-array state, applies materials and issues indexed draws. A singleton
// that may be created before any GL context exists (construction and
// destruction make no GL call); every other operation runs on the GL thread.

namespace VESK_GL {

enum PrimitiveType : int {
    PRIMITIVE_TRIANGLE_LIST = 0,
    PRIMITIVE_TRIANGLE_STRIP = 1,
    PRIMITIVE_TRIANGLE_FAN = 2,
    PRIMITIVE_LINE_LIST = 3,
    PRIMITIVE_LINE_STRIP = 4,
    PRIMITIVE_POINT_LIST = 5,
};

class GLRenderer : public TOOLS::CSingleton<GLRenderer> {
public:
    // Components and GL data type of each element type code, and the texture
    // target of each texture-coordinate count (0 for none).
    static constexpr int typeComponents[7] = {0, 1, 2, 3, 4, 4, 4};
    static constexpr GLenum typeGLTypes[7] = {0, GL_FLOAT, GL_FLOAT, GL_FLOAT, GL_FLOAT, GL_UNSIGNED_BYTE,
                                              GL_UNSIGNED_BYTE};
    static constexpr GLenum textureTargets[5] = {0, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_TEXTURE_3D,
                                                 GL_TEXTURE_CUBE_MAP};

    GLRenderer() = default;
    ~GLRenderer() override = default;

    // Records the GL strings, initialises GLEW and checks the required
    // extensions. Returns only when the context is usable; otherwise prints
    // the reason on standard output and ends the process with status -1.
    void initialize();

    // Substring search in the recorded extensions; prints
    // "GL_EXTENSION ERROR : <name> was not found!" and returns false when absent.
    bool checkExtension(std::string name);

    // Undoes the client arrays of the current declaration and makes d (may be
    // null) current; enables nothing.
    void setDeclaration(const VESK::CDeclaration* d);
    // Does what setDeclaration(nullptr) does when d is the current
    // declaration, nothing otherwise: its owner is about to change or free it.
    void dropDeclaration(const VESK::CDeclaration* d);
    void setIndexBuffer(const CGLBuffer<GL_ELEMENT_ARRAY_BUFFER>& buffer);
    int getIndexSize() const { return currentIndexSize; }
    // Enables and points the client arrays of the current declaration into
    // the buffer; call it after setDeclaration.
    void setVertexBuffer(const CGLBuffer<GL_ARRAY_BUFFER>& buffer);
    // Front-face material; the shininess reaches GL clamped into 0..128.
    void setMaterial(const VESK::CMaterial& material);
    // One glDrawElements; a kind outside the table draws nothing.
    void drawIndexedPrimitive(PrimitiveType kind, int primitiveCount, GLenum indexType, std::uintptr_t byteOffset);

    const std::string& getExtensions() const { return extensions; }
    const std::string& getVersion() const { return version; }
    const std::string& getVendor() const { return vendor; }
    const std::string& getRendererName() const { return rendererName; }
    const std::vector<std::string>& getRequiredExtensions() const { return requiredExtensions; }
    const VESK::CDeclaration* getCurrentDeclaration() const { return currentDeclaration; }

private:
    std::string extensions;
    std::string version;
    std::string vendor;
    std::string rendererName;
    std::vector<std::string> requiredExtensions;
    const VESK::CDeclaration* currentDeclaration = nullptr;
    int currentIndexSize = 0;
};

}  // namespace VESK_GL
