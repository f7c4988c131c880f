// Meshes, editing shortcuts and checks shared by the fold back rim and split
// edges tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/library/document.h"

namespace kivera_test {


using Faces = std::vector<std::vector<int>>;

inline host::Object& NewObject(host::Document& doc)
{
    return *doc.objects[host::AddObject(doc, "obj")];
}

// Adds the vertices, then the faces (each must be accepted), then selects.
inline void Build(host::Object& obj, const std::vector<host::Vec3>& vertices, const Faces& faces,
                  const std::vector<int>& selected)
{
    for (const host::Vec3& p : vertices)
        host::AddVertex(obj, p);
    for (const std::vector<int>& points : faces)
        EXPECT_GE(host::AddFace(obj, points), 0);
    for (int v : selected)
        host::SelectVertex(obj, v);
}

// A face naming vertices the object does not have, pushed past the host's
// checks; its in-range points get their reference.
inline void AddBrokenFace(host::Object& obj, const std::vector<int>& points)
{
    host::Face face;
    face.points = points;
    face.uv.assign(points.size(), host::UV{0, 0});
    face.lineSelected.assign(points.size(), 0);
    for (int p : points)
        if (p >= 0 && p < static_cast<int>(obj.refCount.size()))
            ++obj.refCount[p];
    obj.faces.push_back(face);
}

// Every face slot's points, empty slots included.
inline Faces FacePoints(const host::Object& obj)
{
    Faces faces;
    for (const host::Face& face : obj.faces)
        faces.emplace_back(face.points.begin(), face.points.end());
    return faces;
}

inline void ExpectAt(const host::Object& obj, int v, host::Vec3 expected)
{
    ASSERT_LT(v, static_cast<int>(obj.vertices.size()));
    const host::Vec3& p = obj.vertices[v];
    EXPECT_FLOAT_EQ(p.x, expected.x) << "vertex " << v;
    EXPECT_FLOAT_EQ(p.y, expected.y) << "vertex " << v;
    EXPECT_FLOAT_EQ(p.z, expected.z) << "vertex " << v;
}

// Bitwise-equal positions (NaN included) and equal face lists.
inline bool SameMesh(const host::Object& a, const host::Object& b)
{
    if (a.vertices.size() != b.vertices.size() || FacePoints(a) != FacePoints(b))
        return false;
    for (size_t v = 0; v < a.vertices.size(); ++v)
        if (std::memcmp(&a.vertices[v], &b.vertices[v], sizeof(host::Vec3)) != 0)
            return false;
    return true;
}

}  // namespace kivera_test
