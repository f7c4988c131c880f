// Meshes and selection readers shared by the selection command tests.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "host/document.h"

namespace selection_test {

// Command table rows.
constexpr int kSelectPointsRow = 0;
constexpr int kDeselectPointsRow = 1;
constexpr int kDeselectEdgesAndFacesRow = 2;
constexpr int kSelectNeighbourPointsRow = 3;
constexpr int kSelectConnectedPointsRow = 4;
constexpr int kSelectEdgesOfSelectedPointsRow = 5;

inline host::Object& NewObject(host::Document& doc, const char* name = "obj")
{
    const int index = host::AddObject(doc, name);
    return *doc.objects[index];
}

inline int AddFaceChecked(host::Object& obj, const std::vector<int>& points)
{
    const int face = host::AddFace(obj, points);
    EXPECT_GE(face, 0);
    return face;
}

// A grid of columns x rows quadrilaterals; vertex (r, c) is r * (columns + 1) + c.
inline void AddGrid(host::Object& obj, int columns, int rows)
{
    const int first = static_cast<int>(obj.vertices.size());
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c)
            host::AddVertex(obj, {static_cast<float>(c), static_cast<float>(r), 0.0f});
    const int stride = columns + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int v = first + r * stride + c;
            AddFaceChecked(obj, {v, v + 1, v + stride + 1, v + stride});
        }
}

// The strip of quadrilaterals 0-1-5-4, 1-2-6-5, 2-3-7-6.
inline void AddStrip(host::Object& obj)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            host::AddVertex(obj, {static_cast<float>(c), static_cast<float>(r), 0.0f});
    AddFaceChecked(obj, {0, 1, 5, 4});
    AddFaceChecked(obj, {1, 2, 6, 5});
    AddFaceChecked(obj, {2, 3, 7, 6});
}

// A closed cube of six quadrilaterals on eight new vertices, shifted by `dx`.
inline void AddCube(host::Object& obj, float dx)
{
    const int b = static_cast<int>(obj.vertices.size());
    for (int i = 0; i < 8; ++i)
        host::AddVertex(obj, {dx + static_cast<float>(i & 1), static_cast<float>((i >> 1) & 1),
                              static_cast<float>((i >> 2) & 1)});
    AddFaceChecked(obj, {b + 0, b + 1, b + 3, b + 2});
    AddFaceChecked(obj, {b + 4, b + 6, b + 7, b + 5});
    AddFaceChecked(obj, {b + 0, b + 4, b + 5, b + 1});
    AddFaceChecked(obj, {b + 2, b + 3, b + 7, b + 6});
    AddFaceChecked(obj, {b + 0, b + 2, b + 6, b + 4});
    AddFaceChecked(obj, {b + 1, b + 5, b + 7, b + 3});
}

// Vertex 0 joined by a two-point face (a line) to each of `leaves` vertices
// 1..leaves: the leaves meet only through vertex 0.
inline void AddLineFan(host::Object& obj, int leaves)
{
    host::AddVertex(obj, {0.0f, 0.0f, 0.0f});
    for (int i = 1; i <= leaves; ++i) {
        host::AddVertex(obj, {static_cast<float>(i), 1.0f, 0.0f});
        AddFaceChecked(obj, {0, i});
    }
}

inline std::vector<int> SelectedVertices(const host::Object& obj)
{
    std::vector<int> selected;
    for (int v = 0; v < static_cast<int>(obj.vertexSelected.size()); ++v)
        if (obj.vertexSelected[v])
            selected.push_back(v);
    return selected;
}

// Selected lines as (face, line) pairs in face order.
inline std::vector<std::pair<int, int>> SelectedLines(const host::Object& obj)
{
    std::vector<std::pair<int, int>> selected;
    for (int f = 0; f < static_cast<int>(obj.faces.size()); ++f)
        for (int k = 0; k < static_cast<int>(obj.faces[f].lineSelected.size()); ++k)
            if (obj.faces[f].lineSelected[k])
                selected.emplace_back(f, k);
    return selected;
}

inline std::vector<int> SelectedFaces(const host::Object& obj)
{
    std::vector<int> selected;
    for (int f = 0; f < static_cast<int>(obj.faces.size()); ++f)
        if (obj.faces[f].selected)
            selected.push_back(f);
    return selected;
}

inline std::vector<int> AllVerticesBut(int count, const std::vector<int>& excluded)
{
    std::vector<int> all;
    for (int v = 0; v < count; ++v) {
        bool skip = false;
        for (int e : excluded)
            skip = skip || e == v;
        if (!skip)
            all.push_back(v);
    }
    return all;
}

// Selects, in the first face that has it, the line joining a and b.
inline void SelectEdge(host::Object& obj, int a, int b)
{
    for (int f = 0; f < static_cast<int>(obj.faces.size()); ++f) {
        const std::vector<int>& p = obj.faces[f].points;
        const int n = static_cast<int>(p.size());
        for (int k = 0; k < n; ++k) {
            const int u = p[k], w = p[(k + 1) % n];
            if ((u == a && w == b) || (u == b && w == a)) {
                host::SelectLine(obj, f, k);
                return;
            }
        }
    }
    ADD_FAILURE() << "no line joins " << a << " and " << b;
}

}  // namespace selection_test
