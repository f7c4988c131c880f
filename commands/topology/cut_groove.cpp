// Cut a groove along selected lines: each selected line shared by exactly two
// faces becomes a groove of fixed width and depth, and the two faces are
// replaced by narrowed copies that end at the groove's top edges.
#include "commands/topology/cut_groove.h"

#include <cmath>

#include "commands/commands.h"
#include "commands/topology/selected_lines.h"
#include "hostaccess/face_normal.h"
#include "geom/mesh_queries.h"

int GrooveProfile(float width, float depth, const Point3& a, const Point3& o, const Point3& b,
                  const Point3& n, Point3* profile)
{
    const Point3 u = Normalize(Subtract(a, o));
    const Point3 v = Normalize(Subtract(b, o));
    const float spread = static_cast<float>(Length(Subtract(v, u)));
    if (spread == 0.0f)
        return 0;
    const float s = static_cast<float>(double(width) / double(spread));
    const Point3 topA = Add(o, Scale(u, s));
    const Point3 topB = Add(o, Scale(v, s));
    Point3 down = Normalize(Subtract(Divide(Add(topA, topB), 2.0f), o));
    // Exactly opposite cross edges leave no bisector: go straight into the
    // surface. Only an exact zero counts, so a slightly bent flat surface
    // still follows its bisector.
    if (Length(down) == 0.0)
        down = Scale(Normalize(n), -1.0f);
    profile[0] = topA;
    profile[1] = Add(topA, Scale(down, depth));
    profile[2] = Add(topB, Scale(down, depth));
    profile[3] = topB;
    return 1;
}

// A selected line that can take a groove, with the corners around it.
struct GrooveLine {
    int a, b;        // the line's ends: points k and k + 1 of the first face
    int p, e;        // the first face's corners before a and after b
    int q, r;        // the second face's corners before b and after a
    int otherFace;   // the second face
};

static bool AllFinite(const Point3* points, int count)
{
    for (int i = 0; i < count; ++i)
        if (!IsFinitePoint(points[i]))
            return false;
    return true;
}

// True when every point of a face names a vertex of the object.
static bool AllVertexIndices(const int* points, int count, int vertexCount)
{
    for (int i = 0; i < count; ++i)
        if (points[i] < 0 || points[i] >= vertexCount)
            return false;
    return true;
}

// The first position of `key` among points[0..count-1], or -1.
static int FindPosition(const int* points, int count, int key)
{
    for (int i = 0; i < count; ++i)
        if (points[i] == key)
            return i;
    return -1;
}

// Fills `groove` for line `line` of face `face`. Returns 0 when the line
// cannot take a groove: the face is not a triangle or quadrilateral, the line
// is not held by exactly this face and one other, that other face is not a
// triangle or quadrilateral running along the line from b to a (a diagonal or
// a face turned the other way would lose its remaining corners), or a face
// names a vertex the object does not have.
static int FindGrooveLine(ObjectHandle object, const MeshIndex& index, int face, int line,
                          GrooveLine& groove)
{
    // One slot behind the points repeats point 0, so point line + 1 exists.
    int facePoints[kMaxFacePoints + 1];
    const int n = ReadFacePoints(object, face, facePoints);
    if (n < 3 || line < 0 || line >= n)
        return 0;
    facePoints[n] = facePoints[0];
    const int a = facePoints[line];
    const int b = facePoints[line + 1];

    int found[kMaxEdgeFaces];
    const int foundCount = FindFacesWithEdge(index, a, b, found);
    // The face itself is among them only when it holds a and b once each.
    if (foundCount != 2 || (found[0] != face && found[1] != face))
        return 0;
    const int other = found[0] == face ? found[1] : found[0];

    int otherPoints[kMaxFacePoints + 1];
    const int m = ReadFacePoints(object, other, otherPoints);
    if (m < 3)
        return 0;
    otherPoints[m] = otherPoints[0];

    const int vertexCount = ObjGetVertexCount(object);
    if (!AllVertexIndices(facePoints, n, vertexCount) ||
        !AllVertexIndices(otherPoints, m, vertexCount))
        return 0;

    const int positionB = FindPosition(otherPoints, m, b);
    if (positionB < 0 || otherPoints[positionB + 1] != a)
        return 0;
    const int positionA = positionB + 1;   // may be m, the repeated point 0
    groove.a = a;
    groove.b = b;
    groove.p = facePoints[line == 0 ? n - 1 : line - 1];
    groove.e = facePoints[(line + 2) % n];
    groove.r = otherPoints[(positionA + 1) % m];
    groove.q = otherPoints[positionB == 0 ? m - 1 : positionB - 1];
    groove.otherFace = other;
    return 1;
}

// Adds the five faces of a groove. On a refused
// face the ones already added are deleted again and 0 is returned, so that
// the caller keeps the two original faces and no hole opens in the mesh.
static int AddGrooveFaces(MeshEditor& editor, const GrooveLine& groove, const int* atA,
                          const int* atB)
{
    const int faces[5][4] = {
        {groove.p, atA[0], atB[0], groove.e},   // first face, narrowed
        {atA[0], atA[1], atB[1], atB[0]},       // wall on the first face's side
        {atA[1], atA[2], atB[2], atB[1]},       // floor
        {atA[2], atA[3], atB[3], atB[2]},       // wall on the second face's side
        {groove.q, atB[3], atA[3], groove.r},   // second face, narrowed
    };
    int added[5];
    for (int i = 0; i < 5; ++i) {
        added[i] = EditorAddFace(editor, 4, faces[i]);
        if (added[i] >= 0)
            continue;
        for (int j = 0; j < i; ++j)
            EditorDeleteFace(editor, added[j]);
        return 0;
    }
    return 1;
}

// Cuts the groove along line `line` of face `face` and deletes the face and
// its neighbour across the line. Returns 1
// when the groove was cut, 0 when the line was passed over and nothing
// changed (also when there is no memory to record the groove).
static int CutGrooveAtLine(MeshEditor& editor, int face, int line)
{
    const ObjectHandle object = editor.object;
    MeshIndex& index = editor.index;
    GrooveLine groove;
    if (!FindGrooveLine(object, index, face, line, groove))
        return 0;
    const Point3 positionP = ObjGetVertex(object, groove.p);
    const Point3 positionA = ObjGetVertex(object, groove.a);
    const Point3 positionR = ObjGetVertex(object, groove.r);
    // One normal serves both ends, so the two cross-sections match.
    const Point3 normal = ReadFaceNormal(object, face);
    const Point3 positionE = ObjGetVertex(object, groove.e);
    const Point3 positionB = ObjGetVertex(object, groove.b);
    const Point3 positionQ = ObjGetVertex(object, groove.q);

    // A corner that is not a number has no direction to follow: leave the
    // line as it is rather than guess one.
    const Point3 corners[6] = {positionP, positionA, positionR, positionE, positionB, positionQ};
    if (!AllFinite(corners, 6))
        return 0;

    Point3 profileA[4];
    Point3 profileB[4];
    if (!GrooveProfile(kGrooveWidth, kGrooveDepth, positionP, positionA, positionR, normal,
                       profileA) ||
        !GrooveProfile(kGrooveWidth, kGrooveDepth, positionE, positionB, positionQ, normal,
                       profileB))
        return 0;
    // A groove too wide for a float would only add unusable vertices.
    if (!AllFinite(profileA, 4) || !AllFinite(profileB, 4))
        return 0;

    if (!ReserveMeshEdits(index, 8, 5))
        return 0;
    int atA[4];
    int atB[4];
    for (int i = 0; i < 4; ++i)
        atA[i] = EditorAddVertex(editor, profileA[i]);
    for (int i = 0; i < 4; ++i)
        atB[i] = EditorAddVertex(editor, profileB[i]);
    if (!AddGrooveFaces(editor, groove, atA, atB))
        return 0;
    EditorDeleteFace(editor, face);
    EditorDeleteFace(editor, groove.otherFace);
    return 1;
}

int CutGroove(DocumentHandle document)
{
    // The face is gone once it has a groove: its other lines are not tried.
    ForEachSelectedPolygonLine(document, [](MeshEditor& editor, int face, int line) {
        return CutGrooveAtLine(editor, face, line) != 0;
    });
    return 1;
}
