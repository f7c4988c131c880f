// Add bevel guide lines beside selected lines. The faces themselves are left
// as they are: only vertices and two-point faces are added.
#include "commands/topology/bevel.h"

#include <cassert>
#include <cmath>

#include "commands/commands.h"
#include "commands/topology/selected_lines.h"
#include "hostaccess/face_normal.h"
#include "geom/face_across.h"

namespace kivera {

BevelAngle MeasureBevelAngle(const Point3& normalF, const Point3& normalG, float size)
{
    BevelAngle angle;
    angle.size = size;
    angle.theta = static_cast<float>(AngleBetween(normalF, normalG));
    const double halfOpening = (double(kPiFloat) - double(angle.theta)) / 2.0;
    angle.height = static_cast<float>(double(size) * std::tan(halfOpening) / 2.0);
    angle.meanNormal = Normalize(Add(normalF, normalG));
    return angle;
}

Point3 BevelGuidePoint(const BevelAngle& angle, const Point3& end, const Point3& across,
                       const Point3& otherEnd)
{
    const Point3 u = Normalize(Subtract(across, end));
    float t;
    if (angle.theta == 0.0f) {
        // The tangent's pole: its huge value times a cosine near zero would
        // be float noise, so take the limit instead.
        const float toLine = static_cast<float>(AngleBetween(u, Subtract(otherEnd, end)));
        t = static_cast<float>(-double(angle.size) / 2.0 * std::sin(double(toLine)));
    } else {
        const float toMean = static_cast<float>(AngleBetween(angle.meanNormal, u));
        t = static_cast<float>(std::cos(double(toMean)) * double(angle.height));
    }
    return Subtract(end, Scale(u, t));
}

static bool IsZero(const Point3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// Adds two vertices and the two-point face joining them.
static void AddGuideLine(MeshEditor& editor, const Point3& first, const Point3& second)
{
    int points[2];
    points[0] = EditorAddVertex(editor, first);
    points[1] = EditorAddVertex(editor, second);
    EditorAddFace(editor, 2, points);
}

void BevelLine(MeshEditor& editor, int face, int line, float size)
{
    const ObjectHandle object = editor.object;
    MeshIndex& index = editor.index;
    // The other face is checked before anything is added, so that a line is
    // either given both guide lines or left alone.
    LineAcross across;
    if (!FindFaceAcrossLine(index, face, line, across))
        return;
    const Point3 normalF = ReadIndexedFaceNormal(object, index, face);
    const Point3 normalG = ReadIndexedFaceNormal(object, index, across.otherFace);
    // A degenerate face has no direction to measure an angle against.
    if (IsZero(normalF) || IsZero(normalG))
        return;
    const BevelAngle angle = MeasureBevelAngle(normalF, normalG, size);

    const Point3 positionA = ObjGetVertex(object, across.a);
    const Point3 beforeA = ObjGetVertex(object, across.p);
    const Point3 positionB = ObjGetVertex(object, across.b);
    const Point3 afterB = ObjGetVertex(object, across.e);
    const Point3 beforeBInOther = ObjGetVertex(object, across.q);
    const Point3 afterAInOther = ObjGetVertex(object, across.r);

    // A corner that is not a number has no direction to follow.
    const Point3 corners[6] = {positionA, beforeA,        positionB,
                               afterB,    beforeBInOther, afterAInOther};
    if (!AllFinitePoints(corners, 6))
        return;

    const Point3 guides[4] = {
        BevelGuidePoint(angle, positionA, beforeA, positionB),          // A1
        BevelGuidePoint(angle, positionB, afterB, positionA),           // B1
        BevelGuidePoint(angle, positionB, beforeBInOther, positionA),   // B2
        BevelGuidePoint(angle, positionA, afterAInOther, positionB),    // A2
    };
    if (!AllFinitePoints(guides, 4))
        return;
    if (!ReserveMeshEdits(index, 4, 2))
        return;
    AddGuideLine(editor, guides[0], guides[1]);
    AddGuideLine(editor, guides[2], guides[3]);
}

int Bevel(DocumentHandle document)
{
    ForEachSelectedPolygonLine(document, [](MeshEditor& editor, int face, int line) {
        BevelLine(editor, face, line, kBevelSize);
        return false;
    });
    return 1;
}

}  // namespace kivera
