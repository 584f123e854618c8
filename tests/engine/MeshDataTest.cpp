#include <gtest/gtest.h>

#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CNamedMaterial.h"

using namespace VESK;

namespace {

void expectColour(const CMyVector<float, 4>& colour, float r, float g, float b, float a)
{
    EXPECT_EQ(colour[0], r);
    EXPECT_EQ(colour[1], g);
    EXPECT_EQ(colour[2], b);
    EXPECT_EQ(colour[3], a);
}

}  // namespace

TEST(MeshDataTest, MaterialDefaults)
{
    const CNamedMaterial named;
    EXPECT_EQ(named.name, "");
    EXPECT_EQ(named.textureName, "");
    const CMaterial& m = named.material;
    expectColour(m.ambient, 0.1f, 0.1f, 0.1f, 1.0f);
    expectColour(m.diffuse, 0.7f, 0.7f, 0.7f, 1.0f);
    expectColour(m.specular, 0.2f, 0.2f, 0.2f, 1.0f);
    expectColour(m.emission, 0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(m.shininess, 10.0f);
}

TEST(MeshDataTest, AddSubMeshCopiesAndReleaseEmptiesAllButIndexSize)
{
    CMeshData mesh;
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.vertexCount, 0u);
    mesh.release();
    EXPECT_EQ(mesh.indexSize, 4u);

    CMaterial red;
    red.diffuse = CMyVector<float, 4>(1.0f, 0.0, 0.0, 1.0);
    red.shininess = 500.0f;
    mesh.addSubMesh("Red", red, 6, 2, "red.png");
    red.diffuse[1] = 1.0f;
    ASSERT_EQ(mesh.subMeshes.size(), 1u);
    const CSubMesh& sub = mesh.subMeshes[0];
    EXPECT_EQ(sub.name, "Red");
    EXPECT_EQ(sub.textureName, "red.png");
    EXPECT_EQ(sub.firstIndex, 6u);
    EXPECT_EQ(sub.triangleCount, 2u);
    expectColour(sub.material.diffuse, 1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(sub.material.shininess, 500.0f);

    mesh.elements = new CVertexElement[2]{{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0}, {0, 0, 0, 0}};
    mesh.elementCount = 2;
    mesh.vertexStride = 12;
    mesh.vertexCount = 3;
    mesh.vertices = new float[9]();
    mesh.indexCount = 3;
    mesh.indices = new std::uint32_t[3]{0, 1, 2};
    mesh.release();
    EXPECT_EQ(mesh.elements, nullptr);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.indices, nullptr);
    EXPECT_EQ(mesh.vertexStride, 0u);
    EXPECT_EQ(mesh.vertexCount, 0u);
    EXPECT_EQ(mesh.indexCount, 0u);
    EXPECT_EQ(mesh.elementCount, 0u);
    EXPECT_TRUE(mesh.subMeshes.empty());
    EXPECT_EQ(mesh.indexSize, 4u);
}
