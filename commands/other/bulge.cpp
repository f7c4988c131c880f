// Raise selected vertices of other objects by the height profile of the current object.
#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "commands/commands.h"
#include "geom/mesh_face.h"
#include "geom/profile_grid.h"
#include "hostaccess/object_loops.h"

namespace kivera {

// Reads the profile's faces once, in face order, into their triangles. A face
// whose corner names no vertex of the snapshot gives none, like a face of a
// wrong point count, so that the snapshot is never read outside its bounds.
// Returns the number of triangles; `triangles` holds 2 * faceCount.
static int ReadProfileTriangles(ObjectHandle profile, int faceCount, int vertexCount,
                                ProfileTriangle* triangles)
{
    int count = 0;
    for (int f = 0; f < faceCount; ++f) {
        int points[kMaxFacePoints];
        const int n = ReadFacePoints(profile, f, points);
        if (n != 3 && n != 4)
            continue;
        if (AllVertexIndices(points, n, vertexCount))
            count += AppendFaceTriangles(points, n, &triangles[count]);
    }
    return count;
}

int Bulge(DocumentHandle document)
{
    const int profileIndex = DocGetCurrentObjectIndex(document);
    const ObjectHandle profile = DocGetObject(document, profileIndex);
    // Without a current object there is no profile to read.
    if (profile == nullptr)
        return 0;
    const int faceCount = std::max(ObjGetFaceCount(profile), 0);
    const int vertexCount = std::max(ObjGetVertexCount(profile), 0);

    std::unique_ptr<Point3[]> snapshot(new (std::nothrow) Point3[vertexCount]);
    if (!snapshot)
        return 0;
    ObjGetVertexArray(profile, snapshot.get());
    // The faces are kept as their triangles, the form the grid takes; two
    // per face must stay countable in an int.
    if (faceCount > std::numeric_limits<int>::max() / 2)
        return 0;
    std::unique_ptr<ProfileTriangle[]> triangles(
        new (std::nothrow) ProfileTriangle[2 * std::size_t(faceCount)]);
    if (!triangles)
        return 0;
    const int triangleCount =
        ReadProfileTriangles(profile, faceCount, vertexCount, triangles.get());
    // Each vertex is tested only against the triangles of its grid cell.
    ProfileGrid grid;
    if (!BuildProfileGrid(snapshot.get(), triangles.get(), triangleCount, grid))
        return 0;

    const int objectCount = DocGetObjectCount(document);
    ForEachOtherObject(document, objectCount, profileIndex, [&](int j, ObjectHandle object) {
        ForEachSelectedVertexOf(document, j, object, ObjGetVertexCount(object), [&](int v) {
            Point3 p = ObjGetVertex(object, v);
            const float best = ProfileHeightAt(grid, snapshot.get(), triangles.get(), p.x, p.y);
            if (!(best > 0.0f))
                return;
            p.z = static_cast<float>(double(p.z) + double(best));
            ObjSetVertex(object, v, p);
        });
    });
    return 1;
}

}  // namespace kivera
