// Meshes and selection readers shared by the selection command tests.
#pragma once

#include <utility>
#include <vector>

#include "frame/command_ids.h"
#include "host/library/document.h"

namespace kivera_test {


using Ints = std::vector<int>;
using Lines = std::vector<std::pair<int, int>>;   // (face, line)

// Command table rows.
constexpr int kSelectPoints = RowOf(CommandId::SelectPoints);
constexpr int kDeselectPoints = RowOf(CommandId::DeselectPoints);
constexpr int kDeselectEdgesAndFaces = RowOf(CommandId::DeselectEdgesAndFaces);
constexpr int kSelectNeighbours = RowOf(CommandId::SelectNeighbours);
constexpr int kSelectConnected = RowOf(CommandId::SelectConnected);
constexpr int kSelectEdges = RowOf(CommandId::SelectEdgesOfPoints);

inline host::Object& NewObject(host::Document& doc)
{
    return *doc.objects[host::AddObject(doc, "obj")];
}

// Adds `count` vertices and each face of `faces`, whose indices count from
// the first vertex added here.
inline void AddMesh(host::Object& obj, int count, const std::vector<Ints>& faces)
{
    const int first = static_cast<int>(obj.vertices.size());
    for (int i = 0; i < count; ++i)
        host::AddVertex(obj, {static_cast<float>(i), static_cast<float>(first), 0.0f});
    for (Ints face : faces) {
        for (int& v : face)
            v += first;
        host::AddFace(obj, face);
    }
}

// The strip of quadrilaterals 0-1-5-4, 1-2-6-5, 2-3-7-6.
inline void AddStrip(host::Object& obj) { AddMesh(obj, 8, {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}}); }

// A grid of 4 x 4 quadrilaterals; vertex (r, c) is r * 5 + c.
inline void AddGrid(host::Object& obj)
{
    std::vector<Ints> faces;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            faces.push_back({r * 5 + c, r * 5 + c + 1, r * 5 + c + 6, r * 5 + c + 5});
    AddMesh(obj, 25, faces);
}

inline void AddCube(host::Object& obj)
{
    AddMesh(obj, 8, {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4},
                     {1, 5, 7, 3}});
}

// Vertex 0 joined by a line (a two-point face) to each of the vertices
// 1..leaves, which meet only through vertex 0.
inline void AddLineFan(host::Object& obj, int leaves)
{
    std::vector<Ints> lines;
    for (int i = 1; i <= leaves; ++i)
        lines.push_back({0, i});
    AddMesh(obj, leaves + 1, lines);
}

inline Ints Range(int count)
{
    Ints all;
    for (int v = 0; v < count; ++v)
        all.push_back(v);
    return all;
}

inline Ints SelectedVertices(const host::Object& obj)
{
    Ints selected;
    for (int v = 0; v < static_cast<int>(obj.vertexSelected.size()); ++v)
        if (obj.vertexSelected[v])
            selected.push_back(v);
    return selected;
}

inline Lines SelectedLines(const host::Object& obj)
{
    Lines selected;
    for (int f = 0; f < static_cast<int>(obj.faces.size()); ++f)
        for (int k = 0; k < static_cast<int>(obj.faces[f].lineSelected.size()); ++k)
            if (obj.faces[f].lineSelected[k])
                selected.emplace_back(f, k);
    return selected;
}

inline Ints SelectedFaces(const host::Object& obj)
{
    Ints selected;
    for (int f = 0; f < static_cast<int>(obj.faces.size()); ++f)
        if (obj.faces[f].selected)
            selected.push_back(f);
    return selected;
}

}  // namespace kivera_test
