// Whether a point lies over a triangle of a height profile, and its height.
#include <gtest/gtest.h>

#include <limits>

#include "geom/triangle_xy.h"

namespace kivera_test {

using namespace kivera;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(BulgeTriangle, EdgesAreOutsideCornersInsideBeforeTheExtentTest)
{
    const Point3 t[3] = {{0, 0, 1}, {2, 0, 1}, {0, 2, 1}};
    EXPECT_EQ(IsInsideTriangleXY(t, 0.5f, 0.5f), 1);
    EXPECT_EQ(IsInsideTriangleXY(t, 1.0f, 0.0f), 0);   // on T1T2
    EXPECT_EQ(IsInsideTriangleXY(t, 1.0f, 1.0f), 0);   // on T2T3
    EXPECT_EQ(IsInsideTriangleXY(t, 0.0f, 1.0f), 0);   // on T3T1
    EXPECT_EQ(IsInsideTriangleXY(t, 1.5f, 1.5f), 0);
    EXPECT_EQ(IsInsideTriangleXY(t, kNaN, 0.5f), 0);
    // T2 has the largest x, which the extent test alone would reject.
    EXPECT_EQ(IsInsideTriangleXY(t, 2.0f, 0.0f), 1);
    const Point3 atOrBelowZero[3] = {{0, 0, 0}, {2, 0, -1}, {0, 2, 0}};
    EXPECT_EQ(IsInsideTriangleXY(atOrBelowZero, 0.5f, 0.5f), 0);
    EXPECT_EQ(IsInsideTriangleXY(atOrBelowZero, 0.0f, 0.0f), 0);
}

TEST(BulgeTriangle, BothLinesVerticalGivesTheCornersZ)
{
    const Point3 sliver[3] = {{1, 0, 5}, {1, 3, 6}, {1, 1, 7}};
    EXPECT_FLOAT_EQ(HeightOnTriangle(sliver, 1.0f, 1.0f), 7.0f);
    EXPECT_FLOAT_EQ(HeightOnTriangle(sliver, 1.0f, 0.0f), 5.0f);
    EXPECT_FLOAT_EQ(HeightOnTriangle(sliver, 1.0f, 3.0f), 6.0f);
}

}  // namespace

}  // namespace kivera_test
