// The vector operations, above all where they round to float: commands
// compare their results exactly, so every bit below is part of the contract.
// Expected values were computed apart from this code, step by step with the
// same rounding points, and checked against closed forms.
#include "geom/point3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivera_test {

using namespace kivera;

namespace {

const Point3 kZero = {0.0f, 0.0f, 0.0f};
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();

void ExpectBits(const Point3& actual, float x, float y, float z)
{
    EXPECT_EQ(actual.x, x);
    EXPECT_EQ(actual.y, y);
    EXPECT_EQ(actual.z, z);
}

TEST(Point3Arithmetic, StoredComponentsAreRoundedToFloat)
{
    // 1 + 2^-30 exists in double but not in float.
    const Point3 one = {1.0f, 1.0f, 1.0f};
    const Point3 tiny = {0x1p-30f, 0.0f, 0.0f};
    ExpectBits(Add(one, tiny), 1.0f, 1.0f, 1.0f);
    // 1/3 is the float nearest to the double quotient.
    EXPECT_EQ(Divide(one, 3.0f).x, static_cast<float>(1.0 / 3.0));
    Point3 c = one;
    DivideInPlace(c, 3.0f);
    EXPECT_TRUE(IsEqual(c, Divide(one, 3.0f)));
}

TEST(Point3Products, DotIsUnroundedCrossIsRightHanded)
{
    const Point3 a = {0.1f, 0.0f, 0.0f};
    // The exact double product of two floats, not its float rounding.
    EXPECT_EQ(Dot(a, a), double(0.1f) * double(0.1f));
    EXPECT_NE(Dot(a, a), double(static_cast<float>(double(0.1f) * double(0.1f))));
    ExpectBits(Cross({1, 0, 0}, {0, 1, 0}), 0.0f, 0.0f, 1.0f);
    ExpectBits(Cross({0, 1, 0}, {1, 0, 0}), 0.0f, 0.0f, -1.0f);
    ExpectBits(Cross({1, 2, 3}, {4, 5, 6}), -3.0f, 6.0f, -3.0f);
}

TEST(Point3Length, SumOfSquaresIsRoundedButRootIsNot)
{
    EXPECT_EQ(Length({1.0f, 2.0f, 2.0f}), 3.0);
    // sqrt of the float-rounded sum; the double sum would give
    // 0.37416575022665244 instead.
    const double length = Length({0.1f, 0.2f, 0.3f});
    EXPECT_EQ(length, 0.3741657593864084);
    EXPECT_NE(length, double(static_cast<float>(length)));
}

TEST(Point3Equality, HasNoTolerance)
{
    EXPECT_FALSE(IsEqual(kZero, {0.0f, 0.0f, 1e-30f}));
    EXPECT_TRUE(IsEqual(kZero, {-0.0f, 0.0f, -0.0f}));
    EXPECT_FALSE(IsEqual({kNaN, 0, 0}, {kNaN, 0, 0}));
}

TEST(Point3Normalize, UnitVectorsAndTheZeroVector)
{
    ExpectBits(Normalize({3.0f, 4.0f, 0.0f}), 0.6f, 0.8f, 0.0f);
    ExpectBits(Normalize({1.0f, 2.0f, 3.0f}), 0x1.11aceep-2f, 0x1.11aceep-1f, 0x1.9a8364p-1f);
    ExpectBits(Normalize(kZero), 0.0f, 0.0f, 0.0f);
    // A squared length below the smallest float rounds to 0: no direction.
    ExpectBits(Normalize({1e-30f, 0.0f, 0.0f}), 0.0f, 0.0f, 0.0f);
}

TEST(Point3Normalize, NonFiniteVectorsHaveNoDirection)
{
    ExpectBits(Normalize({kNaN, 1.0f, 0.0f}), 0.0f, 0.0f, 0.0f);
    ExpectBits(Normalize({kInfinity, 0.0f, 0.0f}), 0.0f, 0.0f, 0.0f);
    ExpectBits(Normalize({0.0f, -kInfinity, kNaN}), 0.0f, 0.0f, 0.0f);
}

TEST(Point3TriangleNormal, OrientationAndDegenerateTriangles)
{
    // Seen from +z the points run anticlockwise, so the normal points to -z.
    ExpectBits(TriangleNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), 0.0f, 0.0f, -1.0f);
    ExpectBits(TriangleNormal({0, 0, 0}, {0, 1, 0}, {1, 0, 0}), 0.0f, 0.0f, 1.0f);
    ExpectBits(TriangleNormal({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), 0.0f, 0.0f, 0.0f);
    ExpectBits(TriangleNormal({1, 2, 3}, {1, 2, 3}, {0, 1, 0}), 0.0f, 0.0f, 0.0f);
    ExpectBits(TriangleNormal({5, 5, 5}, {5, 5, 5}, {5, 5, 5}), 0.0f, 0.0f, 0.0f);
    // A cross product that is not zero but whose squared length underflows
    // the float: zero, never a division by zero.
    const Point3 p0 = {0, 0, 0}, p1 = {3e-13f, 0, 0}, p2 = {0, 3e-13f, 0};
    ASSERT_NE(Cross(Subtract(p1, p2), Subtract(p0, p1)).z, 0.0f);
    ExpectBits(TriangleNormal(p0, p1, p2), 0.0f, 0.0f, 0.0f);
}

TEST(Point3TriangleNormal, NaNCornerGivesZero)
{
    ExpectBits(TriangleNormal({0, 0, 0}, {kNaN, 0, 0}, {0, 1, 0}), 0.0f, 0.0f, 0.0f);
    ExpectBits(TriangleNormal({0, 0, 0}, {1, 0, 0}, {0, kInfinity, 0}), 0.0f, 0.0f, 0.0f);
}

TEST(Point3QuadNormal, PlanarSquareTiesAndUsesEitherSplit)
{
    ExpectBits(QuadNormal({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}), 0.0f, 0.0f, -1.0f);
}

TEST(Point3QuadNormal, FlatterSplitWins)
{
    // b-d split flatter: (1/sqrt3, 1/sqrt3, -1 - 1/sqrt3) normalised.
    const double s = 1.0 / std::sqrt(3.0);
    const double norm = std::sqrt(2.0 * s * s + (1.0 + s) * (1.0 + s));
    const Point3 bd = QuadNormal({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 0});
    ExpectBits(bd, 0x1.4cdbe6p-2f, 0x1.4cdbe6p-2f, -0x1.c6b19ep-1f);
    EXPECT_NEAR(bd.x, s / norm, 1e-7);
    EXPECT_NEAR(bd.z, -(1.0 + s) / norm, 1e-7);
    // a-c split flatter: mirrored in x.
    const Point3 ac = QuadNormal({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1});
    ExpectBits(ac, -0x1.4cdbe6p-2f, 0x1.4cdbe6p-2f, -0x1.c6b19ep-1f);
    EXPECT_NEAR(ac.x, -s / norm, 1e-7);
}

TEST(Point3QuadNormal, ExactTieGoesToTheBdSplit)
{
    // Both dot products are exactly 0; the a-c split would give
    // (0.7071, -0.5, -0.5).
    ExpectBits(QuadNormal({1, 0, 1}, {2, 0, 1}, {1, 1, 0}, {1, 0, 0}), 0.5f, -0x1.6a09e6p-1f,
               -0.5f);
}

TEST(Point3QuadNormal, OnlyTheAcDotIsRoundedToFloat)
{
    // Here both unrounded dot products are -0x1.a20bd6d105eb0p-2, equal.
    // Rounding d1 to float moves it towards zero, above d2, so the a-c split
    // wins; comparing unrounded (or both rounded) would pick b-d, which gives
    // (-0.988, 0.0689, 0.1377).
    ExpectBits(QuadNormal({1, 2, -1}, {0, 2, 0}, {1, 1, 1}, {0, 0, 1}), -0x1.f9e4ccp-1f,
               -0x1.1a0fb4p-3f, -0x1.1a0fb4p-4f);
    // The same values positive: d1 rounds down below d2, so b-d wins.
    ExpectBits(QuadNormal({1, 0, 0}, {1, 1, 1}, {1, 2, -1}, {0, 1, -1}), 0x1.c47c32p-1f,
               -0x1.3b5ab6p-3f, -0x1.c47c32p-2f);
}

TEST(Point3QuadNormal, DegenerateHalvesAndNaNCorners)
{
    // A triangle given as a quad with a repeated corner keeps its normal.
    ExpectBits(QuadNormal({0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}), 0.0f, 0.0f, -1.0f);
    ExpectBits(QuadNormal({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}), 0.0f, 0.0f, 0.0f);
    const Point3 n = QuadNormal({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {kNaN, 1, 0});
    EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
}

TEST(Point3AngleBetween, RightAnglesAndLimits)
{
    EXPECT_EQ(AngleBetween({1, 0, 0}, {0, 2, 0}), std::acos(0.0));
    EXPECT_EQ(AngleBetween(kZero, {1, 0, 0}), 0.0);
    EXPECT_EQ(AngleBetween({1, 0, 0}, kZero), 0.0);
    EXPECT_EQ(AngleBetween({1, 2, 3}, {2, 4, 6}), 0.0);
    // Opposite directions give pi as the float constant, widened.
    EXPECT_EQ(AngleBetween({1, 2, 3}, {-2, -4, -6}), double(3.1415927f));
    EXPECT_EQ(double(kPiFloat), 0x1.921fb6p+1);
}

TEST(Point3AngleBetween, CosineIsRoundedToFloat)
{
    // 45 degrees: acos of the float nearest 1/sqrt2, not pi/4
    // (0x1.921fb54442d18p-1).
    EXPECT_EQ(AngleBetween({1, 1, 0}, {1, 0, 0}), 0x1.921fb5d7457f8p-1);
    // The cosine of 1e-4 radians rounds to 1 in float: parallel.
    EXPECT_EQ(AngleBetween({1, 0, 0}, {1, 1e-4f, 0}), 0.0);
}

TEST(Point3AngleBetween, NonFiniteVectorsGiveZero)
{
    EXPECT_EQ(AngleBetween({kNaN, 0, 0}, {1, 0, 0}), 0.0);
    EXPECT_EQ(AngleBetween({1, 0, 0}, {0, kInfinity, 0}), 0.0);
}

}  // namespace

}  // namespace kivera_test
