#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "engine/loaders/CVertexTable.h"

using VESK::CVertexTable;

TEST(VertexTableTest, NumbersFollowFirstAppearanceAndEqualityIsBitForBit)
{
    CVertexTable table;
    table.reset(3);
    const float a[3] = {0.0f, 1.0f, 2.0f}, negativeZero[3] = {-0.0f, 1.0f, 2.0f}, nan[3] = {NAN, 0, 0},
                negativeNan[3] = {-NAN, 0, 0};
    EXPECT_EQ(table.findOrAdd(a), 0u);
    EXPECT_EQ(table.findOrAdd(negativeZero), 1u);
    EXPECT_EQ(table.findOrAdd(nan), 2u);
    EXPECT_EQ(table.findOrAdd(negativeNan), 3u);
    EXPECT_EQ(table.findOrAdd(a), 0u);
    EXPECT_EQ(table.findOrAdd(nan), 2u);
    // Enough vertices to grow the slots many times over.
    for (int i = 0; i < 100000; ++i) {
        const float v[3] = {static_cast<float>(i), 0.5f, -1.0f};
        ASSERT_EQ(table.findOrAdd(v), static_cast<std::uint32_t>(4 + i));
    }
    const float again[3] = {77.0f, 0.5f, -1.0f};
    EXPECT_EQ(table.findOrAdd(again), 81u);
    EXPECT_EQ(table.getVertexCount(), 100004u);
}

TEST(VertexTableTest, WideningKeepsNumbersAndZeroFillsTheNewFloats)
{
    CVertexTable table;
    table.reset(5);  // position and texture coordinates
    const float first[5] = {1, 2, 3, 4, 5}, second[5] = {1, 2, 3, 0, 0};
    table.findOrAdd(first);
    table.findOrAdd(second);
    const std::uint32_t destination[5] = {0, 1, 2, 6, 7};  // normals now sit between
    table.widen(8, destination);
    // An exact-match lookup finding each widened vertex proves its floats.
    const float firstWide[8] = {1, 2, 3, 0, 0, 0, 4, 5}, secondWide[8] = {1, 2, 3, 0, 0, 0, 0, 0},
                withNormal[8] = {1, 2, 3, 0, 0, 1, 4, 5};
    EXPECT_EQ(table.findOrAdd(firstWide), 0u);
    EXPECT_EQ(table.findOrAdd(secondWide), 1u);
    EXPECT_EQ(table.findOrAdd(withNormal), 2u);
}

TEST(VertexTableTest, GoingBeyondTheMaximumThrowsLengthError)
{
    CVertexTable table(2);
    table.reset(3);
    const float a[3] = {1, 0, 0}, b[3] = {2, 0, 0}, c[3] = {3, 0, 0};
    table.findOrAdd(a);
    table.findOrAdd(b);
    EXPECT_EQ(table.findOrAdd(a), 0u);
    EXPECT_THROW(table.findOrAdd(c), std::length_error);
    EXPECT_EQ(table.getVertexCount(), 2u);
}
