// Documents and position checks shared by the vertex placement tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/document.h"

namespace placement_test {

// Command table rows.
constexpr int kAlignSelectedPointsRow = 6;
constexpr int kArrangeOnLineRow = 8;
constexpr int kRotateByViewRow = 13;

inline host::Object& NewObject(host::Document& doc, const char* name = "obj")
{
    const int index = host::AddObject(doc, name);
    return *doc.objects[index];
}

// Adds `points` as vertices used by faces (lines joining each to the next),
// selecting those whose `selected` entry is 1. Returns the first new index.
// Needs at least two points, so that every one is used by a face.
inline int AddUsedPoints(host::Object& obj, const std::vector<host::Vec3>& points,
                         const std::vector<int>& selected)
{
    EXPECT_GE(points.size(), 2u);
    EXPECT_EQ(points.size(), selected.size());
    const int first = static_cast<int>(obj.vertices.size());
    for (const host::Vec3& p : points)
        host::AddVertex(obj, p);
    for (int i = 0; i + 1 < static_cast<int>(points.size()); ++i)
        EXPECT_GE(host::AddFace(obj, {first + i, first + i + 1}), 0);
    for (int i = 0; i < static_cast<int>(points.size()); ++i)
        if (selected[i])
            host::SelectVertex(obj, first + i);
    return first;
}

// A vertex that no face uses, selected.
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
    return testing::AssertionFailure()
           << "vertex " << v << " is at (" << p.x << ", " << p.y << ", " << p.z
           << "), expected (" << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// The positions of every vertex of every object, for "nothing changed".
inline std::vector<std::vector<float>> Positions(const host::Document& doc)
{
    std::vector<std::vector<float>> all;
    for (const auto& obj : doc.objects) {
        std::vector<float> coordinates;
        if (obj)
            for (const host::Vec3& p : obj->vertices) {
                coordinates.push_back(p.x);
                coordinates.push_back(p.y);
                coordinates.push_back(p.z);
            }
        all.push_back(coordinates);
    }
    return all;
}

// Names of the recorded host calls that read or write the document.
inline std::vector<std::string> DocumentCalls(const std::vector<host::Call>& calls)
{
    std::vector<std::string> names;
    for (const host::Call& call : calls)
        if (call.name.rfind("MQDoc_", 0) == 0 || call.name.rfind("MQObj_", 0) == 0 ||
            call.name.rfind("MQScene_", 0) == 0)
            names.push_back(call.name);
    return names;
}

}  // namespace placement_test
