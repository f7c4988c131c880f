// Cut groove: the groove's cross-section at one end of a selected line.
#pragma once

#include "geom/point3.h"

namespace kivera {

// The groove's fixed size, in model units.
constexpr float kGrooveWidth = 2.0f;
constexpr float kGrooveDepth = 2.0f;

// The groove's cross-section at the line end `o`, where `a` is the corner
// next to `o` on the first face's side, `b` the corner next to `o` on the
// second face's side and `n` the first face's normal. Writes four points to
// `profile`: top and bottom on the first face's side, bottom and top on the
// second face's side. The top points lie on the two cross edges, `width`
// apart and equally far from `o`; the bottom points lie `depth` further along
// the bisector of the cross edges (against `n` when the cross edges are
// exactly opposite).
// True, or false with `profile` untouched when the two cross edges point the
// same way (or are both empty), which leaves the width nowhere to go.
bool GrooveProfile(float width, float depth, const Point3& a, const Point3& o, const Point3& b,
                   const Point3& n, Point3* profile);

}  // namespace kivera
