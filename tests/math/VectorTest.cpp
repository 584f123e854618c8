#include <memory>

#include <gtest/gtest.h>

#include "math/CMyVector.h"

TEST(VectorTest, DefaultIsZeroAndValuesAreNarrowedFromDouble)
{
    const CMyVector<float, 4> zero;
    const CMyVector<int, 2> size;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(zero[i], 0.0f);
    EXPECT_EQ(size[0], 0);
    EXPECT_EQ(size[1], 0);

    const CMyVector<float, 4> fromDouble(0.7f, 0.7, 0.7, 1.0);
    const CMyVector<float, 4> fromFloat(0.7f, 0.7f, 0.7f, 1.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fromDouble[i], 0.7f);
        EXPECT_EQ(fromFloat[i], 0.7f);
    }
    EXPECT_EQ(fromDouble[3], 1.0f);

    const CMyVector<int, 3> texture(640, 480, 0);
    EXPECT_EQ(texture[0], 640);
    EXPECT_EQ(texture[1], 480);
    EXPECT_EQ(texture[2], 0);
}

TEST(VectorTest, CopiesAreIndependentValues)
{
    CMyVector<float, 3> source(1.0f, 2.0, 3.0);
    CMyVector<float, 3> copy(source);
    CMyVector<float, 3> assigned;
    assigned = source;
    source[0] = 9.0f;
    EXPECT_EQ(copy[0], 1.0f);
    EXPECT_EQ(assigned[0], 1.0f);
    EXPECT_EQ(assigned[1], 2.0f);
    EXPECT_EQ(assigned[2], 3.0f);
    EXPECT_EQ(source[1], 2.0f);
    EXPECT_EQ(source.data() + 1, &source[1]);
}

namespace {

int destroyedProbes = 0;

struct Probe : CMyVector<int, 2> {
    ~Probe() override { ++destroyedProbes; }
};

}  // namespace

TEST(VectorTest, DestructionThroughTheArrayBaseRunsTheMostDerivedDestructor)
{
    std::unique_ptr<CMyArray<int, 2>> base(new Probe);
    base.reset();
    EXPECT_EQ(destroyedProbes, 1);
}
