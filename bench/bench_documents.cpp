// Grids and selections for the benchmark. Everything is deterministic (a
// fixed-seed generator of our own), so that two builds of the plug-in are
// measured on the same documents.
#include "bench/bench_documents.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

const Scenario kScenarios[kScenarioCount] = {
    {CommandId::SelectPoints, "", "10% of the faces and 1% of the lines selected"},
    {CommandId::DeselectPoints, "", "every vertex selected"},
    {CommandId::DeselectEdgesAndFaces, "", "10% of the faces and 1% of the lines selected"},
    {CommandId::SelectNeighbours, "", "a ring of vertices around half the grid selected"},
    {CommandId::SelectConnected, "", "one vertex selected, the whole grid reachable"},
    {CommandId::SelectEdgesOfPoints, "", "the vertices of 10% of the rows selected"},
    {CommandId::AlignPoints, "", "a small current object; the grid with 10% of its rows selected"},
    {CommandId::FoldBackRim, "", "the rim row of the grid selected"},
    {CommandId::ArrangeOnLine, "1004 1005 1", "10% of the rows selected; main axis X, move Y and Z"},
    {CommandId::Bulge, "", "a profile of 2F triangles (current) and a grid of F quads, all selected"},
    {CommandId::SavePoints, "", "the vertices of 10% of the rows selected"},
    {CommandId::RestorePoints, "1008 1009 1010 1", "kivera.idx holding 10% of the rows, all axes"},
    {CommandId::SplitEdges, "", "a polyline of two-point faces, chains of 100 vertices covering 1% selected"},
    {CommandId::SplitEdges, "", "stress: a polyline of two-point faces, every vertex selected", "split-edges-all"},
    {CommandId::RotateByView, "", "every vertex selected, a turned view"},
    {CommandId::CutGroove, "", "1% of the interior lines selected"},
    {CommandId::CopyUV, "", "a source grid and a renumbered copy (vertices column by column, faces in reverse, turned corners), start face and vertex selected"},
    {CommandId::CopyUV, "", "stress: as copy-uv, the copy's vertices and faces numbered at random", "uv-copy-shuffled"},
    {CommandId::ReloadTextures, "", "64 materials with three maps each"},
    {CommandId::Bevel, "", "1% of the interior lines selected"},
    {CommandId::MeasureAngle, "", "two faces selected"},
};

int ScenarioRow(const Scenario& scenario) { return RowOf(scenario.command); }

const char* ScenarioName(const Scenario& scenario)
{
    return IsStress(scenario) ? scenario.stressName : kCommands[ScenarioRow(scenario)].name;
}

int FindScenario(const std::string& name)
{
    for (int k = 0; k < kScenarioCount; ++k)
        if (name == ScenarioName(kScenarios[k]))
            return k;
    char* end = nullptr;
    const long row = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == '\0')
        for (int k = 0; k < kScenarioCount; ++k)
            if (ScenarioRow(kScenarios[k]) == row)
                return k;
    return -1;
}

GridShape ShapeForFaceCount(int faceCount)
{
    assert(faceCount > 0);
    // The largest divisor not above the square root gives the rows.
    int rows = static_cast<int>(std::sqrt(double(faceCount)));
    while (rows > 1 && faceCount % rows != 0)
        --rows;
    return {faceCount / rows, rows};
}

// A small fixed-seed generator (xorshift64*): the same numbers on every
// platform and standard library.
struct Random {
    std::uint64_t state;
};

static std::uint32_t NextRandom(Random& random)
{
    random.state ^= random.state >> 12;
    random.state ^= random.state << 25;
    random.state ^= random.state >> 27;
    return static_cast<std::uint32_t>((random.state * 0x2545F4914F6CDD1DULL) >> 32);
}

// A number in 0 .. limit - 1.
static int RandomBelow(Random& random, int limit)
{
    assert(limit > 0);
    return static_cast<int>(NextRandom(random) % static_cast<std::uint32_t>(limit));
}

static int GridVertex(GridShape shape, int i, int j) { return j * (shape.columns + 1) + i; }

static int GridFace(GridShape shape, int i, int j) { return j * shape.columns + i; }

// A gently waved sheet, so that neighbouring faces meet at an angle (bevel,
// groove and fold back compute with that angle). `lift` raises it whole.
struct SheetPlacement {
    float spacing;
    float originX, originY;
    float lift;
};

static host::Object& AddGrid(host::Document& doc, const char* name, GridShape shape,
                             SheetPlacement placement)
{
    host::Object& obj = *doc.objects[host::AddObject(doc, name)];
    obj.vertices.reserve(std::size_t(shape.columns + 1) * std::size_t(shape.rows + 1));
    obj.faces.reserve(std::size_t(shape.columns) * std::size_t(shape.rows));
    for (int j = 0; j <= shape.rows; ++j)
        for (int i = 0; i <= shape.columns; ++i) {
            const float wave = 0.5f * std::sin(0.37f * i) * std::cos(0.23f * j);
            host::AddVertex(obj, {placement.originX + placement.spacing * i,
                                  placement.originY + placement.spacing * j,
                                  placement.lift + wave});
        }
    for (int j = 0; j < shape.rows; ++j)
        for (int i = 0; i < shape.columns; ++i)
            host::AddFace(obj, {GridVertex(shape, i, j), GridVertex(shape, i + 1, j),
                                GridVertex(shape, i + 1, j + 1), GridVertex(shape, i, j + 1)});
    return obj;
}

static host::Object& AddPlainGrid(host::Document& doc, GridShape shape)
{
    return AddGrid(doc, "grid", shape, {1.0f, 0.0f, 0.0f, 0.0f});
}

static void SelectAllVertices(host::Object& obj)
{
    for (std::size_t v = 0; v < obj.vertices.size(); ++v)
        host::SelectVertex(obj, static_cast<int>(v));
}

// The vertices of the first tenth of the rows (at least one row).
static void SelectTenthOfRows(host::Object& obj, GridShape shape)
{
    const int lastRow = shape.rows / 10;
    for (int j = 0; j <= lastRow; ++j)
        for (int i = 0; i <= shape.columns; ++i)
            host::SelectVertex(obj, GridVertex(shape, i, j));
}

// The faces of the first tenth of the face rows (at least one row).
static void SelectTenthOfFaces(host::Object& obj, GridShape shape)
{
    const int rows = shape.rows / 10 > 0 ? shape.rows / 10 : 1;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < shape.columns; ++i)
            host::SelectFace(obj, GridFace(shape, i, j));
}

// 1% of the lines that two faces share, picked at random on faces away from
// the border (a line of such a face always has a face on its other side).
static void SelectInteriorLines(host::Object& obj, GridShape shape, Random& random)
{
    if (shape.columns < 3 || shape.rows < 3)
        return;
    const long long interior = (long long)(shape.columns - 1) * shape.rows +
                               (long long)shape.columns * (shape.rows - 1);
    const long long count = interior / 100 > 0 ? interior / 100 : 1;
    for (long long n = 0; n < count; ++n) {
        const int i = 1 + RandomBelow(random, shape.columns - 2);
        const int j = 1 + RandomBelow(random, shape.rows - 2);
        host::SelectLine(obj, GridFace(shape, i, j), RandomBelow(random, 4));
    }
}

// The vertices on the border of the middle half of the grid.
static void SelectRing(host::Object& obj, GridShape shape)
{
    const int i0 = shape.columns / 4, i1 = shape.columns - shape.columns / 4;
    const int j0 = shape.rows / 4, j1 = shape.rows - shape.rows / 4;
    for (int i = i0; i <= i1; ++i) {
        host::SelectVertex(obj, GridVertex(shape, i, j0));
        host::SelectVertex(obj, GridVertex(shape, i, j1));
    }
    for (int j = j0; j <= j1; ++j) {
        host::SelectVertex(obj, GridVertex(shape, i0, j));
        host::SelectVertex(obj, GridVertex(shape, i1, j));
    }
}

// How the copy of the UV scenarios is numbered.
enum class Renumbering {
    kReordered,   // vertices column by column, faces in reverse order
    kShuffled,    // vertices and faces in random order
};

// A source grid with texture coordinates and a copy of it whose vertices and
// faces are numbered in another order and whose faces start at another
// corner; the corresponding start face and vertex are selected in both.
static void BuildUVCopy(host::Document& doc, GridShape shape, Renumbering renumbering,
                        Random& random)
{
    host::Object& source = AddPlainGrid(doc, shape);
    for (int j = 0; j < shape.rows; ++j)
        for (int i = 0; i < shape.columns; ++i) {
            host::Face& face = source.faces[GridFace(shape, i, j)];
            const float u0 = float(i) / shape.columns, u1 = float(i + 1) / shape.columns;
            const float v0 = float(j) / shape.rows, v1 = float(j + 1) / shape.rows;
            face.uv = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
        }
    const int startFace = GridFace(shape, shape.columns / 2, shape.rows / 2);
    host::SelectFace(source, startFace);
    host::SelectVertex(source, source.faces[startFace].points[0]);

    const int vertexCount = static_cast<int>(source.vertices.size());
    const int faceCount = static_cast<int>(source.faces.size());
    std::vector<int> newVertex(vertexCount), newFace(faceCount);
    if (renumbering == Renumbering::kReordered) {
        for (int j = 0; j <= shape.rows; ++j)
            for (int i = 0; i <= shape.columns; ++i)
                newVertex[GridVertex(shape, i, j)] = i * (shape.rows + 1) + j;
        for (int f = 0; f < faceCount; ++f)
            newFace[f] = faceCount - 1 - f;
    } else {
        for (int v = 0; v < vertexCount; ++v)
            newVertex[v] = v;
        for (int f = 0; f < faceCount; ++f)
            newFace[f] = f;
        for (int k = vertexCount - 1; k > 0; --k)
            std::swap(newVertex[k], newVertex[RandomBelow(random, k + 1)]);
        for (int k = faceCount - 1; k > 0; --k)
            std::swap(newFace[k], newFace[RandomBelow(random, k + 1)]);
    }

    host::Object& copy = *doc.objects[host::AddObject(doc, "renumbered copy")];
    copy.vertices.resize(vertexCount);
    for (int v = 0; v < vertexCount; ++v)
        copy.vertices[newVertex[v]] = source.vertices[v];
    std::vector<int> oldFace(faceCount);
    for (int f = 0; f < faceCount; ++f)
        oldFace[newFace[f]] = f;
    copy.faces.reserve(faceCount);
    for (int f = 0; f < faceCount; ++f) {
        const auto& points = source.faces[oldFace[f]].points;
        const int n = static_cast<int>(points.size());
        const int turn = f % n;
        std::vector<int> turned(n);
        for (int k = 0; k < n; ++k)
            turned[k] = newVertex[points[(k + turn) % n]];
        host::AddFace(copy, turned);
    }
    host::SelectFace(copy, newFace[startFace]);
    host::SelectVertex(copy, newVertex[source.faces[startFace].points[0]]);
}

// kivera.idx as the save command writes it: "%d %d %f %f %f" per vertex,
// here a little away from where the vertices are now.
static bool WriteSavedPoints(const host::Object& obj, int objectIndex, const std::string& folder)
{
    const std::string path = folder + "/kivera.idx";
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    for (std::size_t v = 0; v < obj.vertices.size(); ++v) {
        if (!obj.vertexSelected[v])
            continue;
        const host::Vec3& p = obj.vertices[v];
        std::fprintf(file, "%d %d %f %f %f\n", objectIndex, static_cast<int>(v), p.x + 0.25,
                     p.y - 0.25, p.z + 0.5);
    }
    return std::fclose(file) == 0;
}

// Runs of `length` consecutive vertices, one at the start of every
// `period` vertices: on a polyline, chains of length - 1 segments.
static void SelectChains(host::Object& obj, int length, int period)
{
    assert(length > 0 && period >= length);
    for (std::size_t v = 0; v < obj.vertices.size(); ++v)
        if (static_cast<int>(v % static_cast<std::size_t>(period)) < length)
            host::SelectVertex(obj, static_cast<int>(v));
}

// A zigzag polyline of `segmentCount` two-point faces.
static host::Object& AddPolyline(host::Document& doc, int segmentCount)
{
    host::Object& obj = *doc.objects[host::AddObject(doc, "polyline")];
    obj.vertices.reserve(std::size_t(segmentCount) + 1);
    obj.faces.reserve(std::size_t(segmentCount));
    for (int k = 0; k <= segmentCount; ++k)
        host::AddVertex(obj, {float(k), (k % 2) ? 0.5f : 0.0f, 0.0f});
    for (int k = 0; k < segmentCount; ++k)
        host::AddFace(obj, {k, k + 1});
    return obj;
}

bool BuildScenarioDocument(int scenario, int faceCount, const std::string& settingsFolder,
                           host::Document& doc)
{
    assert(scenario >= 0 && scenario < kScenarioCount);
    const GridShape shape = ShapeForFaceCount(faceCount);
    Random random = {0x9E3779B97F4A7C15ULL};
    doc.currentObject = 0;
    const bool stress = IsStress(kScenarios[scenario]);
    switch (kScenarios[scenario].command) {
    case CommandId::SelectPoints:
    case CommandId::DeselectEdgesAndFaces: {
        host::Object& grid = AddPlainGrid(doc, shape);
        SelectTenthOfFaces(grid, shape);
        SelectInteriorLines(grid, shape, random);
        break;
    }
    case CommandId::DeselectPoints:
        SelectAllVertices(AddPlainGrid(doc, shape));
        break;
    case CommandId::RotateByView: {
        SelectAllVertices(AddPlainGrid(doc, shape));
        // A view turned about a slanted axis, moved back from the origin.
        const float c = std::cos(0.4f), s = std::sin(0.4f);
        const float view[16] = {c, 0, -s, 0, s * s, c, c * s, 0, s * c, -s, c * c, 0,
                                0, 0, -50, 1};
        for (int k = 0; k < 16; ++k)
            doc.scene.view[k] = view[k];
        break;
    }
    case CommandId::SelectNeighbours:
        SelectRing(AddPlainGrid(doc, shape), shape);
        break;
    case CommandId::SelectConnected: {
        host::Object& grid = AddPlainGrid(doc, shape);
        host::SelectVertex(grid, GridVertex(shape, shape.columns / 2, shape.rows / 2));
        break;
    }
    case CommandId::SelectEdgesOfPoints:
    case CommandId::ArrangeOnLine:
    case CommandId::SavePoints:
        SelectTenthOfRows(AddPlainGrid(doc, shape), shape);
        break;
    case CommandId::AlignPoints: {
        const GridShape small = {10, 10};
        SelectAllVertices(AddGrid(doc, "current", small, {1.0f, -20.0f, -20.0f, 3.0f}));
        SelectTenthOfRows(AddPlainGrid(doc, shape), shape);
        break;
    }
    case CommandId::FoldBackRim: {
        host::Object& grid = AddPlainGrid(doc, shape);
        for (int i = 0; i <= shape.columns; ++i)
            host::SelectVertex(grid, GridVertex(shape, i, 0));
        break;
    }
    case CommandId::Bulge: {
        // The profile's quads are split along one diagonal; the second grid
        // is a little finer and shifted, so its vertices fall at general
        // places of the profile.
        host::Object& profile = *doc.objects[host::AddObject(doc, "profile")];
        host::Object& filled = AddGrid(doc, "profile", shape, {1.0f, 0.0f, 0.0f, 1.0f});
        profile.vertices = filled.vertices;
        for (const host::Face& quad : filled.faces) {
            const auto& p = quad.points;
            host::AddFace(profile, {p[0], p[1], p[2]});
            host::AddFace(profile, {p[2], p[3], p[0]});
        }
        doc.objects.pop_back();
        SelectAllVertices(AddGrid(doc, "sheet", shape, {0.997f, 0.011f, 0.017f, 0.0f}));
        break;
    }
    case CommandId::RestorePoints: {
        host::Object& grid = AddPlainGrid(doc, shape);
        SelectTenthOfRows(grid, shape);
        return WriteSavedPoints(grid, 0, settingsFolder);
    }
    case CommandId::SplitEdges: {
        host::Object& polyline = AddPolyline(doc, faceCount);
        if (stress)
            SelectAllVertices(polyline);
        else
            SelectChains(polyline, 100, 10000);
        break;
    }
    case CommandId::CutGroove:
    case CommandId::Bevel:
        SelectInteriorLines(AddPlainGrid(doc, shape), shape, random);
        break;
    case CommandId::CopyUV:
        BuildUVCopy(doc, shape, stress ? Renumbering::kShuffled : Renumbering::kReordered,
                    random);
        break;
    case CommandId::ReloadTextures: {
        for (int m = 0; m < 64; ++m) {
            const std::string name = "material" + std::to_string(m);
            host::Material& material = *doc.materials[host::AddMaterial(doc, name)];
            material.texture = name + ".png";
            material.alpha = name + "_alpha.png";
            material.bump = name + "_bump.png";
        }
        host::Object& grid = AddPlainGrid(doc, shape);
        for (std::size_t f = 0; f < grid.faces.size(); ++f)
            grid.faces[f].material = static_cast<int>(f % 64);
        break;
    }
    case CommandId::MeasureAngle: {
        host::Object& grid = AddPlainGrid(doc, shape);
        host::SelectFace(grid, GridFace(shape, 1, 1));
        host::SelectFace(grid, GridFace(shape, shape.columns - 2, shape.rows - 2));
        break;
    }
    default:
        assert(false && "every command has a scenario");
        return false;
    }
    return true;
}

// FNV-1a over the raw bytes.
static void Mix(unsigned long long& digest, const void* bytes, std::size_t size)
{
    const unsigned char* c = static_cast<const unsigned char*>(bytes);
    for (std::size_t k = 0; k < size; ++k) {
        digest ^= c[k];
        digest *= 0x100000001B3ULL;
    }
}

unsigned long long DocumentDigest(const host::Document& doc)
{
    unsigned long long digest = 0xCBF29CE484222325ULL;
    for (const auto& obj : doc.objects) {
        if (!obj)
            continue;
        // Run by run, the same bytes in the same order as one block.
        obj->vertices.ForEachRun([&digest](const host::Vec3* first, std::size_t count) {
            Mix(digest, first, count * sizeof(host::Vec3));
        });
        obj->vertexSelected.ForEachRun([&digest](const unsigned char* first, std::size_t count) {
            Mix(digest, first, count);
        });
        for (const host::Face& face : obj->faces) {
            Mix(digest, face.points.data(), face.points.size() * sizeof(int));
            Mix(digest, face.uv.data(), face.uv.size() * sizeof(host::UV));
            Mix(digest, face.lineSelected.data(), face.lineSelected.size());
            Mix(digest, &face.material, sizeof face.material);
            const unsigned char selected = face.selected ? 1 : 0;
            Mix(digest, &selected, 1);
        }
    }
    for (const auto& material : doc.materials)
        if (material) {
            const int loads[3] = {material->textureLoads, material->alphaLoads,
                                  material->bumpLoads};
            Mix(digest, loads, sizeof loads);
        }
    return digest;
}

}  // namespace bench
