// Bevel guide lines: beside a selected line shared by two faces, one new line
// on each face, at an offset that follows from the angle between the faces.
#pragma once

#include "hostaccess/host_api.h"
#include "hostaccess/mesh_editor.h"
#include "geom/point3.h"

namespace kivera {

// The bevel size, in model units.
constexpr float kBevelSize = 2.0f;

// What one selected line's two faces give every guide point of that line.
struct BevelAngle {
    float size;
    float theta;          // angle between the two face normals
    float height;         // h = size * tan((pi - theta) / 2) / 2
    Point3 meanNormal;    // unit mean of the two face normals
};

// The angle record for faces with unit normals `normalF` and `normalG`.
BevelAngle MeasureBevelAngle(const Point3& normalF, const Point3& normalG, float size);

// The guide point near the line end `end` on the cross edge that leads to
// `across`; `otherEnd` is the line's other end. It moves along the cross edge
// by cos(angle between mean normal and cross edge) * h. Coplanar faces
// (theta of 0) take the limit of that as the faces flatten out from a ridge:
// size / 2 times the sine of the angle between cross edge and line, into the
// face, so a flat neighbour never gets a huge or undefined offset.
Point3 BevelGuidePoint(const BevelAngle& angle, const Point3& end, const Point3& across,
                       const Point3& otherEnd);

// Adds the guide lines of line `line` of face `face`, which runs from the
// face's point `line` to its point `line` + 1: two new vertices and a
// two-point face on this face (at a, then at b), then two on the face across
// the line (at b, then at a). `index` holds the object's faces and records
// the additions. Adds nothing unless the line has a face across it
// (FindFaceAcrossLine), both faces have a usable normal and every guide
// point is a finite position (nor when there is no memory to record the
// additions).
void BevelLine(MeshEditor& editor, int face, int line, float size);

}  // namespace kivera
