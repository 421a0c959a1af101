// Math.Random's generator and the states that seeds give.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Library/QvRandomGenerator.h"

TEST(RandomGenerator, AFreshGeneratorDrawsTheClassicSequence) {
    QvRandomGenerator generator;
    EXPECT_EQ(generator.next(), 41);
    EXPECT_EQ(generator.next(), 18467);
    EXPECT_EQ(generator.next(), 6334);
    generator.seed(1);
    EXPECT_EQ(generator.next(), 41);
    generator.seed(0);
    EXPECT_EQ(generator.next(), 38);
}

// trunc(seed x 1000) modulo 65535 with the dividend's sign, for seeds of any size.
TEST(RandomGenerator, SeedsOfEverySizeGiveADefinedState) {
    EXPECT_EQ(QvRandomGenerator::stateForSeed(0.001), 1u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(0.0019), 1u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(65.535), 0u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(65.536), 1u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(-0.001), 0xFFFFFFFFu);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(-65.534), uint32_t(-65534));
    EXPECT_EQ(QvRandomGenerator::stateForSeed(2147484), 33120u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(-2147484), uint32_t(-33120));
    EXPECT_EQ(QvRandomGenerator::stateForSeed(std::numeric_limits<double>::max()), uint32_t(0));
    EXPECT_EQ(QvRandomGenerator::stateForSeed(std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(-std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(QvRandomGenerator::stateForSeed(std::nan("")), 0u);
}
