// Random height profiles for the grid's tests: coordinates mostly on a
// coarse lattice, so that corners, edges and cell boundaries meet exactly,
// with NaN, infinite and enormous values now and then.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "geom/point3.h"
#include "tests/reference/bulge_reference.h"

namespace kivera_test {

using namespace kivera;
using reference::FaceCorners;


inline const float kNaN = std::numeric_limits<float>::quiet_NaN();
inline const float kInf = std::numeric_limits<float>::infinity();

inline std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct Profile {
    std::vector<Point3> snapshot;
    std::vector<FaceCorners> table;
};

// Coordinates mostly on a coarse lattice, so that corners, edges and cell
// boundaries meet exactly; now and then an odd value.
inline float RandomCoordinate(std::mt19937& random, float scale)
{
    const int pick = static_cast<int>(random() % 40);
    switch (pick) {
    case 0:
        return kNaN;
    case 1:
        return kInf;
    case 2:
        return -kInf;
    case 3:
        return -0.0f;
    case 4:
        return 3.0e38f;
    default:
        break;
    }
    if (pick < 20)
        return scale * static_cast<float>(static_cast<int>(random() % 9) - 4) / 2.0f;
    return scale * (static_cast<float>(random() % 100000) / 12500.0f - 4.0f);
}

inline float RandomHeight(std::mt19937& random)
{
    const int pick = static_cast<int>(random() % 24);
    if (pick == 0)
        return kNaN;
    if (pick == 1)
        return kInf;
    if (pick == 2)
        return -kInf;
    if (pick < 6)
        return 0.0f;
    return static_cast<float>(static_cast<int>(random() % 9) - 2) / 2.0f;
}

}  // namespace kivera_test
