// Cut a groove along selected lines: each selected line shared by exactly two
// faces becomes a groove of fixed width and depth, and the two faces are
// replaced by narrowed copies that end at the groove's top edges.
#include "commands/topology/cut_groove.h"

#include <cmath>

#include "commands/commands.h"
#include "commands/topology/selected_lines.h"
#include "hostaccess/face_normal.h"
#include "geom/face_across.h"

namespace kivera {

bool GrooveProfile(float width, float depth, const Point3& a, const Point3& o, const Point3& b,
                   const Point3& n, Point3* profile)
{
    const Point3 u = Normalize(Subtract(a, o));
    const Point3 v = Normalize(Subtract(b, o));
    const float spread = static_cast<float>(Length(Subtract(v, u)));
    if (spread == 0.0f)
        return false;
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
    return true;
}

// Adds the five faces of a groove. On a refused
// face the ones already added are deleted again and false is returned, so that
// the caller keeps the two original faces and no hole opens in the mesh.
static bool AddGrooveFaces(MeshEditor& editor, const LineAcross& groove, const int* atA,
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
        return false;
    }
    return true;
}

// Cuts the groove along line `line` of face `face` and deletes the face and
// its neighbour across the line. True when the groove was cut, false when
// the line was passed over and nothing changed (also when there is no
// memory to record the groove). The line must have a face across it of
// three or four points wound the other way (FindFaceAcrossLine): the
// narrowed faces keep the corners beside the line.
static bool CutGrooveAtLine(MeshEditor& editor, int face, int line)
{
    const ObjectHandle object = editor.object;
    MeshIndex& index = editor.index;
    LineAcross groove;
    if (!FindFaceAcrossLine(index, face, line, groove))
        return false;
    const Point3 positionP = ObjGetVertex(object, groove.p);
    const Point3 positionA = ObjGetVertex(object, groove.a);
    const Point3 positionR = ObjGetVertex(object, groove.r);
    // One normal serves both ends, so the two cross-sections match.
    const Point3 normal = ReadIndexedFaceNormal(object, index, face);
    const Point3 positionE = ObjGetVertex(object, groove.e);
    const Point3 positionB = ObjGetVertex(object, groove.b);
    const Point3 positionQ = ObjGetVertex(object, groove.q);

    // A corner that is not a number has no direction to follow: leave the
    // line as it is rather than guess one.
    const Point3 corners[6] = {positionP, positionA, positionR, positionE, positionB, positionQ};
    if (!AllFinitePoints(corners, 6))
        return false;

    Point3 profileA[4];
    Point3 profileB[4];
    if (!GrooveProfile(kGrooveWidth, kGrooveDepth, positionP, positionA, positionR, normal,
                       profileA) ||
        !GrooveProfile(kGrooveWidth, kGrooveDepth, positionE, positionB, positionQ, normal,
                       profileB))
        return false;
    // A groove too wide for a float would only add unusable vertices.
    if (!AllFinitePoints(profileA, 4) || !AllFinitePoints(profileB, 4))
        return false;

    if (!ReserveMeshEdits(index, 8, 5))
        return false;
    int atA[4];
    int atB[4];
    for (int i = 0; i < 4; ++i)
        atA[i] = EditorAddVertex(editor, profileA[i]);
    for (int i = 0; i < 4; ++i)
        atB[i] = EditorAddVertex(editor, profileB[i]);
    if (!AddGrooveFaces(editor, groove, atA, atB))
        return false;
    EditorDeleteFace(editor, face);
    EditorDeleteFace(editor, groove.otherFace);
    return true;
}

int CutGroove(DocumentHandle document)
{
    // The face is gone once it has a groove: its other lines are not tried.
    ForEachSelectedPolygonLine(document, [](MeshEditor& editor, int face, int line) {
        return CutGrooveAtLine(editor, face, line);
    });
    return 1;
}

}  // namespace kivera
