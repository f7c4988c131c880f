// The face across a selected line: the query that groove and bevel share,
// answered from the index alone.
#pragma once

#include "geom/mesh_index.h"

namespace kivera {

// A line of a face held by exactly one other face, with the corners beside
// it. With consistently wound faces the face runs p, a, b, e and the other
// face q, b, a, r (for triangles p = e and q = r).
struct LineAcross {
    int a, b;        // the line's ends: points k and k + 1 of the face
    int p, e;        // the face's corners before a and after b
    int q, r;        // the other face's corners before b and after a
    int otherFace;
};

// Fills `across` for line `line` of face `face` as the index holds them.
// False when the line has no usable face across it: the face is not a
// triangle or quadrilateral, `line` is not one of its lines, the line is not
// held by exactly this face and one other (FindFacesWithEdge), that other
// face is not a triangle or quadrilateral running along the line from b to a
// (a face holding one end twice, a diagonal or a face turned the same way
// has no cross edges at a and b to follow), or a point of either face names
// no vertex of the object.
bool FindFaceAcrossLine(const MeshIndex& index, int face, int line, LineAcross& across);

}  // namespace kivera
