#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/loaders/CVertexTable.h"

// Equal vertices, growth and widening are checked through the OBJ loader
// against the literal reading; the limit is out of a file's reach.
TEST(VertexTableTest, GoingBeyondTheMaximumThrowsLengthError)
{
    VESK::CVertexTable table(2);
    table.reset(3);
    const float a[3] = {1, 0, 0}, b[3] = {2, 0, 0}, c[3] = {3, 0, 0};
    table.findOrAdd(a);
    table.findOrAdd(b);
    EXPECT_EQ(table.findOrAdd(a), 0u);
    EXPECT_THROW(table.findOrAdd(c), std::length_error);
    EXPECT_EQ(table.getVertexCount(), 2u);
}
