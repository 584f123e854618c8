#include <stdexcept>

#include <gtest/gtest.h>

#include "tools/CSingleton.h"

namespace {

struct Counted : TOOLS::CSingleton<Counted> {
    static inline int constructions = 0;
    Counted() { ++constructions; }
};

struct FailsFirst : TOOLS::CSingleton<FailsFirst> {
    static inline int attempts = 0;
    FailsFirst()
    {
        if (++attempts == 1)
            throw std::runtime_error("first construction fails");
    }
    int value = 7;
};

}  // namespace

TEST(SingletonTest, OneInstanceConstructedOnceAndBaseShutdownDoesNothing)
{
    EXPECT_EQ(Counted::constructions, 0);
    Counted& first = Counted::getInstance();
    Counted& second = Counted::getInstance();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(Counted::constructions, 1);
    first.shutdown();
    EXPECT_EQ(&Counted::getInstance(), &first);
    EXPECT_EQ(Counted::constructions, 1);
}

TEST(SingletonTest, ThrowingConstructorIsRetriedOnTheNextCall)
{
    EXPECT_THROW(FailsFirst::getInstance(), std::runtime_error);
    FailsFirst& instance = FailsFirst::getInstance();
    EXPECT_EQ(FailsFirst::attempts, 2);
    EXPECT_EQ(instance.value, 7);
    EXPECT_EQ(&FailsFirst::getInstance(), &instance);
    EXPECT_EQ(FailsFirst::attempts, 2);
}
