#pragma once

#include <string>
#include <vector>

#include "../engine/loaders/CMaterial.h"
#include "../engine/loaders/CMeshData.h"
#include "../engine/resources/CResource.h"
#include "CGLBuffer.h"
#include "CGLDeclaration.h"
#include "CGLTexture.h"
#include "CSubMeshRange.h"

// A renderable mesh in GPU memory: one interleaved vertex buffer, one index
// buffer, the declaration of a vertex, and per sub-mesh a triangle range, a
// material and a texture file name. Built on the GL thread after
// GLRenderer::initialize(); once registered, owned by the resource manager,
// which destroys it while the GL context still exists.

namespace VESK_GL {

class CGLModel : public VESK::CResource {
public:
    CGLModel() = default;
    ~CGLModel() override;

    // Replaces the geometry with a copy of the mesh's (a null mesh leaves the
    // model empty). When GL refuses to map a buffer nothing is copied and
    // every sub-mesh draws zero triangles.
    void buildFromMeshData(const VESK::CMeshData* mesh);
    // Drops the geometry: declaration, GL buffers and the per-sub-mesh lists.
    void clear();

    unsigned int getSubMeshCount() const { return static_cast<unsigned int>(ranges.size()); }
    // Empty text for an index outside the sub-meshes.
    std::string getTextureName(unsigned int i) const;
    // Draws sub-mesh i with the texture on unit 0, or untextured when texture
    // is null; an index outside the sub-meshes draws nothing.
    void drawSubMesh(const CGLTexture<GL_TEXTURE_2D>* texture, unsigned int i);

    const CGLDeclaration& getDeclaration() const { return declaration; }
    const CGLBuffer<GL_ARRAY_BUFFER>& getVertexBuffer() const { return vertexBuffer; }
    const CGLBuffer<GL_ELEMENT_ARRAY_BUFFER>& getIndexBuffer() const { return indexBuffer; }
    const std::vector<CSubMeshRange>& getRanges() const { return ranges; }
    const std::vector<VESK::CMaterial>& getMaterials() const { return materials; }

private:
    CGLDeclaration declaration;
    CGLBuffer<GL_ARRAY_BUFFER> vertexBuffer;
    CGLBuffer<GL_ELEMENT_ARRAY_BUFFER> indexBuffer;
    std::vector<CSubMeshRange> ranges;
    std::vector<VESK::CMaterial> materials;

public:
    // One texture file name per sub-mesh, as the mesh data gives it; empty
    // means untextured.
    std::vector<std::string> textureNames;
};

}  // namespace VESK_GL
