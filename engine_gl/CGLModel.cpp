#include "CGLModel.h"

#include <cstring>

#include "GLRenderer.h"

namespace VESK_GL {

namespace {

// Fills a freshly created buffer through a mapped pointer; false when GL
// refuses the mapping, in which case nothing is written.
template <GLenum Target>
bool fill(CGLBuffer<Target>& buffer, const void* source, std::size_t byteCount)
{
    std::uint8_t* destination = buffer.lock(0, GL_READ_WRITE_ARB);
    if (destination == nullptr)
        return false;
    if (source != nullptr)
        std::memcpy(destination, source, byteCount);
    buffer.unlock();
    return true;
}

}  // namespace

CGLModel::~CGLModel()
{
    clear();
}

void CGLModel::clear()
{
    // The renderer must not keep undoing (or pointing at) a layout that is
    // about to change or go away.
    GLRenderer::getInstance().dropDeclaration(&declaration);
    static const VESK::CVertexElement endMarker{0, 0, 0, 0};
    declaration.build(&endMarker);
    vertexBuffer.release();
    indexBuffer.release();
    ranges.clear();
    materials.clear();
    textureNames.clear();
}

void CGLModel::buildFromMeshData(const VESK::CMeshData* mesh)
{
    clear();
    if (mesh == nullptr)
        return;
    declaration.build(mesh->elements);

    indexBuffer.create(static_cast<int>(mesh->indexCount), static_cast<int>(mesh->indexSize), GL_STATIC_DRAW_ARB);
    const bool indicesFilled = fill(indexBuffer, mesh->indices, std::size_t(mesh->indexSize) * mesh->indexCount);
    vertexBuffer.create(static_cast<int>(mesh->vertexCount), static_cast<int>(mesh->vertexStride),
                        GL_STATIC_DRAW_ARB);
    const bool verticesFilled
        = fill(vertexBuffer, mesh->vertices, std::size_t(mesh->vertexStride) * mesh->vertexCount);

    if (mesh->subMeshes.empty()) {
        ranges.push_back({0, static_cast<std::int32_t>(mesh->indexCount / 3)});
        materials.emplace_back();
        textureNames.emplace_back();
    } else {
        for (const VESK::CSubMesh& subMesh : mesh->subMeshes) {
            ranges.push_back({static_cast<std::int32_t>(subMesh.firstIndex),
                              static_cast<std::int32_t>(subMesh.triangleCount)});
            materials.push_back(subMesh.material);
            textureNames.push_back(subMesh.textureName);
        }
    }
    // Unfilled buffers hold undefined indices: draw nothing from them.
    if (!indicesFilled || !verticesFilled)
        for (CSubMeshRange& range : ranges)
            range.triangleCount = 0;
}

std::string CGLModel::getTextureName(unsigned int i) const
{
    return i < textureNames.size() ? textureNames[i] : std::string();
}

void CGLModel::drawSubMesh(const CGLTexture<GL_TEXTURE_2D>* texture, unsigned int i)
{
    if (i >= ranges.size())
        return;
    GLRenderer& renderer = GLRenderer::getInstance();
    renderer.setDeclaration(&declaration);
    renderer.setIndexBuffer(indexBuffer);
    renderer.setVertexBuffer(vertexBuffer);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    if (texture != nullptr) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture->getGLName());
        texture->applyParameters();
    } else {
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    renderer.setMaterial(materials[i]);
    const int indexSize = renderer.getIndexSize();
    renderer.drawIndexedPrimitive(PRIMITIVE_TRIANGLE_LIST, ranges[i].triangleCount,
                                  indexSize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                                  static_cast<std::uintptr_t>(static_cast<std::uint32_t>(ranges[i].firstIndex))
                                      * static_cast<std::uint32_t>(indexSize));
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace VESK_GL
