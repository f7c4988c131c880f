// Measure the angle between selected faces or lines.
#include <cstdio>

#include "commands/commands.h"
#include "hostaccess/object_loops.h"
#include "geom/point3.h"
#include "hostaccess/face_normal.h"
#include "platform/platform.h"

namespace kivera {

namespace {

// The directions measured so far: face normals first, then line directions.
struct MeasuredDirections {
    Point3 slots[2];
    int count;
};

}  // namespace

// Radians to degrees with the 32-bit constants the report uses.
static double ToDegrees(double radians)
{
    return radians * double(180.0f) / double(kPiFloat);
}

// Shows the two angles under the caption "Face Angle".
static void ShowAngles(double firstRadians, double secondRadians)
{
    // Two values of at most 180.00 need 28 characters and the terminator.
    char text[32];
    std::snprintf(text, sizeof text, "Angle = %.2f   or   %.2f", ToDegrees(firstRadians),
                  ToDegrees(secondRadians));
    ShowMessageBox(SysGetWindowHandle(), text, "Face Angle");
}

// Two directions: the angle between them, and between the first and the
// reverse of the second.
static void ShowPairResult(const Point3& d1, const Point3& d2)
{
    const Point3 zero = {0.0f, 0.0f, 0.0f};
    ShowAngles(AngleBetween(d1, d2), AngleBetween(d1, Subtract(zero, d2)));
}

// One direction: its angle to +Y and to -Y.
static void ShowSingleResult(const Point3& d1)
{
    const Point3 up = {0.0f, 1.0f, 0.0f};
    const Point3 down = {0.0f, -1.0f, 0.0f};
    ShowAngles(AngleBetween(d1, up), AngleBetween(d1, down));
}

// The direction of line `line` of a face: the position of its second point
// minus that of its first. A point that names no vertex of the object gives
// the zero vector, as a degenerate face gives a zero normal.
static Point3 LineDirection(ObjectHandle object, const int* points, int pointCount, int line)
{
    const int from = points[line];
    const int to = points[(line + 1) % pointCount];
    const int vertexCount = ObjGetVertexCount(object);
    if (from < 0 || from >= vertexCount || to < 0 || to >= vertexCount)
        return {0.0f, 0.0f, 0.0f};
    const Point3 start = ObjGetVertex(object, from);
    const Point3 end = ObjGetVertex(object, to);
    return Subtract(end, start);
}

// Calls scan(objectIndex, object, face) for every face slot of every
// object, in object and face order, until it returns false.
template <typename Scan>
static void ScanFaces(DocumentHandle document, int objectCount, Scan scan)
{
    ForEachObject(document, objectCount, [&](int i, ObjectHandle object) {
        const int faceCount = ObjGetFaceCount(object);
        for (int f = 0; f < faceCount; ++f)
            if (!scan(i, object, f))
                return false;
        return true;
    });
}

// Collects the normals of selected faces of three or four points, in object
// and face order, until both slots are filled.
static void ScanSelectedFaces(DocumentHandle document, int objectCount,
                              MeasuredDirections& found)
{
    ScanFaces(document, objectCount, [&](int i, ObjectHandle object, int f) {
        if (UsableFacePointCount(object, f) >= 3 && DocIsSelectFace(document, i, f) == 1)
            found.slots[found.count++] = ReadFaceNormal(object, f);
        return found.count < 2;
    });
}

// Collects the directions of selected lines, in object, face and line
// order, until both slots are filled.
static void ScanSelectedLines(DocumentHandle document, int objectCount,
                              MeasuredDirections& found)
{
    ScanFaces(document, objectCount, [&](int i, ObjectHandle object, int f) {
        const int n = UsableFacePointCount(object, f);
        if (n < 2)
            return true;
        for (int k = 0; k < n; ++k) {
            if (DocIsSelectLine(document, i, f, k) != 1)
                continue;
            int points[kMaxFacePoints];
            if (ReadFacePoints(object, f, points) != n)
                continue;
            found.slots[found.count++] = LineDirection(object, points, n, k);
            if (found.count == 2)
                return false;
        }
        return true;
    });
}

int MeasureFaceAngle(DocumentHandle document)
{
    MeasuredDirections found = {};
    const int objectCount = DocGetObjectCount(document);
    ScanSelectedFaces(document, objectCount, found);
    if (found.count < 2)
        ScanSelectedLines(document, objectCount, found);
    if (found.count == 2)
        ShowPairResult(found.slots[0], found.slots[1]);
    else if (found.count == 1)
        ShowSingleResult(found.slots[0]);
    return 1;
}

}  // namespace kivera
