#include "platform/CrtRand.h"

#include <gtest/gtest.h>
#include <set>

TEST(CrtRand, MatchesTheCRuntimeSequence)
{
    CrtRand random;
    random.seed(1);
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(random.next(), expected);
}

TEST(CrtRand, SeedZeroAndLargeSeedsStayInRange)
{
    CrtRand random;
    random.seed(0);
    EXPECT_EQ(random.next(), 38);
    random.seed(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int value = random.next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, CrtRand::Max);
    }
}

TEST(CrtRand, SmallRangesTakeOneNumberModuloTheSize)
{
    for (std::size_t size : {std::size_t(1), std::size_t(10), std::size_t(32767), std::size_t(32768)}) {
        CrtRand a;
        CrtRand b;
        a.seed(7);
        b.seed(7);
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(a.position(size), static_cast<std::size_t>(b.next()) % size) << size;
    }
}

TEST(CrtRand, LargeRangesCombineTwoNumbers)
{
    const std::size_t size = 100000;
    CrtRand a;
    CrtRand b;
    a.seed(99);
    b.seed(99);
    std::size_t highest = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::size_t first = static_cast<std::size_t>(b.next());
        const std::size_t second = static_cast<std::size_t>(b.next());
        const std::size_t position = a.position(size);
        ASSERT_EQ(position, ((first << 15) | second) % size);
        highest = std::max(highest, position);
    }
    // Positions beyond 32767 come up, so everybody in a big pool can win.
    EXPECT_GT(highest, 32767u);
}

TEST(CrtRand, EmptyRangeGivesZeroWithoutTakingANumber)
{
    CrtRand a;
    a.seed(5);
    EXPECT_EQ(a.position(0), 0u);
    CrtRand b;
    b.seed(5);
    EXPECT_EQ(a.next(), b.next());
}
