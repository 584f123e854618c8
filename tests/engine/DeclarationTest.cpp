#include <gtest/gtest.h>

#include "engine/CDeclaration.h"

using namespace VESK;

namespace {

bool same(const CVertexElement& a, const CVertexElement& b)
{
    return a.offset == b.offset && a.type == b.type && a.usage == b.usage && a.unit == b.unit;
}

}  // namespace

TEST(DeclarationTest, BuildCopiesUpToTheAllZeroEndMarker)
{
    CDeclaration declaration;
    EXPECT_EQ(declaration.getElementCount(), 0);

    const CVertexElement full[] = {{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0},
                                   {12, DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0},
                                   {24, DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD, 0},
                                   {0, 0, 0, 0},
                                   {99, 9, 9, 9}};
    declaration.build(full);
    ASSERT_EQ(declaration.getElementCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(same(declaration.getElement(i), full[i]));

    declaration.build(nullptr);
    EXPECT_EQ(declaration.getElementCount(), 3);

    const CVertexElement nearlyEnd[] = {{0, 0, 1, 0}, {0, 0, 0, 2}, {0, 0, 0, 0}};
    declaration.build(nearlyEnd);
    ASSERT_EQ(declaration.getElementCount(), 2);
    EXPECT_TRUE(same(declaration.getElement(0), nearlyEnd[0]));
    EXPECT_TRUE(same(declaration.getElement(1), nearlyEnd[1]));

    const CVertexElement empty[] = {{0, 0, 0, 0}, {12, 3, 2, 0}};
    declaration.build(empty);
    EXPECT_EQ(declaration.getElementCount(), 0);
}
