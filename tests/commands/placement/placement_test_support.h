// Documents and position checks shared by the vertex placement tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/command_ids.h"
#include "host/library/document.h"

namespace kivera_test {


// Command table rows.
constexpr int kAlignSelectedPointsRow = RowOf(CommandId::AlignPoints);
constexpr int kArrangeOnLineRow = RowOf(CommandId::ArrangeOnLine);
constexpr int kRotateByViewRow = RowOf(CommandId::RotateByView);

// A new object holding `points` (at least two), each used by a line to the
// next; those whose `selected` entry is 1 are selected.
inline host::Object& AddObjectWith(host::Document& doc, const std::vector<host::Vec3>& points,
                                   const std::vector<int>& selected)
{
    EXPECT_GE(points.size(), 2u);
    EXPECT_EQ(points.size(), selected.size());
    host::Object& obj = *doc.objects[static_cast<size_t>(host::AddObject(doc, "obj"))];
    for (size_t i = 0; i < points.size(); ++i) {
        host::AddVertex(obj, points[i]);
        if (i > 0) {
            EXPECT_GE(host::AddFace(obj, {int(i) - 1, int(i)}), 0);
        }
        if (selected[i])
            host::SelectVertex(obj, int(i));
    }
    return obj;
}

// A selected vertex that no face uses.
inline int AddUnusedSelectedPoint(host::Object& obj, host::Vec3 p)
{
    const int v = host::AddVertex(obj, p);
    host::SelectVertex(obj, v);
    return v;
}

// Vertex `v` of `obj` is at `expected` within `tolerance` on every axis.
inline testing::AssertionResult At(const host::Object& obj, int v, host::Vec3 expected,
                                   float tolerance = 0.0f)
{
    const host::Vec3& p = obj.vertices.at(static_cast<size_t>(v));
    const auto near = [tolerance](float a, float b) {
        return a == b || (a - b <= tolerance && b - a <= tolerance);
    };
    if (near(p.x, expected.x) && near(p.y, expected.y) && near(p.z, expected.z))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "vertex " << v << " is at (" << p.x << ", " << p.y
                                       << ", " << p.z << "), expected (" << expected.x << ", "
                                       << expected.y << ", " << expected.z << ")";
}

// Every coordinate of every object, for "nothing changed".
inline std::vector<float> Positions(const host::Document& doc)
{
    std::vector<float> all;
    for (const auto& obj : doc.objects)
        for (size_t v = 0; obj && v < obj->vertices.size(); ++v)
            all.insert(all.end(), {obj->vertices[v].x, obj->vertices[v].y, obj->vertices[v].z});
    return all;
}

// Names of the recorded host calls that read or write the document.
inline std::vector<std::string> DocumentCalls(const std::vector<host::Call>& calls)
{
    std::vector<std::string> names;
    for (const host::Call& call : calls)
        if (call.name.rfind("MQ_", 0) != 0)
            names.push_back(call.name);
    return names;
}

}  // namespace kivera_test
