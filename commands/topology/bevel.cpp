// Add bevel guide lines beside selected lines. The faces themselves are left
// as they are: only vertices and two-point faces are added.
#include "commands/topology/bevel.h"

#include <cassert>
#include <cmath>

#include "commands/commands.h"
#include "commands/topology/selected_lines.h"
#include "hostaccess/face_normal.h"
#include "geom/mesh_queries.h"

FaceRing ReadFaceRing(ObjectHandle object, int face)
{
    FaceRing ring = {0, {-1, -1, -1, -1}};
    ring.count = ReadFacePoints(object, face, ring.points);
    return ring;
}

int PointAt(const FaceRing& ring, int position)
{
    assert(ring.count >= 0 && ring.count <= kMaxFacePoints);
    if (ring.count <= 0)
        return -1;
    int index = position % ring.count;
    if (index < 0)
        index += ring.count;
    return ring.points[index];
}

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

// True when every point of the ring names a vertex of the object.
static bool AllVertexIndices(const FaceRing& ring, int vertexCount)
{
    for (int i = 0; i < ring.count; ++i)
        if (ring.points[i] < 0 || ring.points[i] >= vertexCount)
            return false;
    return true;
}

// The position of `key` in the ring, counting up from 0, or -1.
static int FindInRing(const FaceRing& ring, int key)
{
    for (int r = 0; r < ring.count; ++r)
        if (PointAt(ring, r) == key)
            return r;
    return -1;
}

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
    const FaceRing ring = ReadFaceRing(object, face);
    if (ring.count < 3 || line < 0 || line >= ring.count)
        return;
    const int a = PointAt(ring, line);
    const int b = PointAt(ring, line + 1);

    int found[kMaxEdgeFaces];
    const int foundCount = FindFacesWithEdge(index, a, b, found);
    // The face itself is among them only when it holds a and b once each.
    if (foundCount != 2 || (found[0] != face && found[1] != face))
        return;
    const int other = found[0] == face ? found[1] : found[0];

    // The other face is checked before anything is added, so that a line is
    // either given both guide lines or left alone.
    const FaceRing otherRing = ReadFaceRing(object, other);
    if (otherRing.count < 3)
        return;
    const int vertexCount = ObjGetVertexCount(object);
    if (!AllVertexIndices(ring, vertexCount) || !AllVertexIndices(otherRing, vertexCount))
        return;
    // It must hold the line as a side running from b to a: a face holding
    // only one end (twice), a diagonal or a face turned the other way has no
    // cross edges at a and b to follow.
    const int r = FindInRing(otherRing, b);
    if (r < 0 || PointAt(otherRing, r + 1) != a)
        return;

    const Point3 normalF = ReadFaceNormal(object, face);
    const Point3 normalG = ReadFaceNormal(object, other);
    // A degenerate face has no direction to measure an angle against.
    if (IsZero(normalF) || IsZero(normalG))
        return;
    const BevelAngle angle = MeasureBevelAngle(normalF, normalG, size);

    const Point3 positionA = ObjGetVertex(object, a);
    const Point3 beforeA = ObjGetVertex(object, PointAt(ring, line - 1));
    const Point3 positionB = ObjGetVertex(object, b);
    const Point3 afterB = ObjGetVertex(object, PointAt(ring, line + 2));
    const Point3 beforeBInOther = ObjGetVertex(object, PointAt(otherRing, r - 1));
    const Point3 afterAInOther = ObjGetVertex(object, PointAt(otherRing, r + 2));

    // A corner that is not a number has no direction to follow.
    const Point3 corners[6] = {positionA, beforeA,        positionB,
                               afterB,    beforeBInOther, afterAInOther};
    for (const Point3& corner : corners)
        if (!IsFinitePoint(corner))
            return;

    const Point3 guides[4] = {
        BevelGuidePoint(angle, positionA, beforeA, positionB),          // A1
        BevelGuidePoint(angle, positionB, afterB, positionA),           // B1
        BevelGuidePoint(angle, positionB, beforeBInOther, positionA),   // B2
        BevelGuidePoint(angle, positionA, afterAInOther, positionB),    // A2
    };
    for (const Point3& guide : guides)
        if (!IsFinitePoint(guide))
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
