#include "tests/differential/random_document.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

namespace kivera_test {


using host::Document;
using host::Face;
using host::Object;

// A coordinate on a coarse lattice, so that coincident points, collinear
// corners and flat faces are common; now and then NaN.
static float Coordinate(Dice& dice, int nanPercent)
{
    if (dice.Percent(nanPercent))
        return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(dice.Int(-8, 8)) * 0.5f;
}

// A rows x columns patch of quads over fresh vertices, some cells as two
// triangles, some turned over, some left open. Returns the first vertex.
static int AddGridPatch(Dice& dice, Object& obj, int nanPercent)
{
    const int rows = dice.Int(1, 4);
    const int columns = dice.Int(1, 5);
    const int first = static_cast<int>(obj.vertices.size());
    const bool bumpy = dice.Percent(50);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            const float z = bumpy ? Coordinate(dice, 0) : 0.0f;
            host::AddVertex(obj, {static_cast<float>(c), static_cast<float>(r), z});
            if (dice.Percent(nanPercent))
                obj.vertices.back().y = std::numeric_limits<float>::quiet_NaN();
        }
    const int stride = columns + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int v = first + r * stride + c;
            std::vector<int> quad = {v, v + 1, v + stride + 1, v + stride};
            if (dice.Percent(15))
                quad = {quad[3], quad[2], quad[1], quad[0]};
            const int shape = dice.Int(0, 9);
            if (shape < 7) {
                host::AddFace(obj, quad);
            } else if (shape < 9) {
                host::AddFace(obj, {quad[0], quad[1], quad[2]});
                host::AddFace(obj, {quad[0], quad[2], quad[3]});
            }
        }
    return first;
}

// A face of the given point count over random vertices, perhaps repeating one.
static std::vector<int> RandomPoints(Dice& dice, int vertexCount, int count)
{
    std::vector<int> points;
    for (int k = 0; k < count; ++k)
        points.push_back(dice.Int(0, vertexCount - 1));
    if (count >= 2 && dice.Percent(30))
        points[static_cast<size_t>(dice.Int(1, count - 1))] = points[0];
    return points;
}

// A face naming points outside the vertex list, pushed past the host's
// checks as a faulty host might hand it over; its valid points are counted.
static void AddStrayFace(Dice& dice, Object& obj)
{
    const int vertexCount = static_cast<int>(obj.vertices.size());
    const int n = dice.Int(2, 4);
    std::vector<int> points = RandomPoints(dice, vertexCount, n);
    // Just past the end (a later added vertex takes that number), or negative.
    points[static_cast<size_t>(dice.Int(0, n - 1))] =
        dice.Percent(70) ? vertexCount + dice.Int(0, 3) : -1 - dice.Int(0, 2);
    Face face;
    face.points = points;
    face.uv.assign(points.size(), host::UV{0.0f, 0.0f});
    face.lineSelected.assign(points.size(), 0);
    for (int p : points)
        if (p >= 0 && p < vertexCount)
            ++obj.refCount[static_cast<size_t>(p)];
    obj.faces.push_back(face);
}

// Selection densities of one document, in percent.
struct Densities {
    int vertex, line, face;
};

static void Select(Dice& dice, Object& obj, const Densities& densities)
{
    for (size_t v = 0; v < obj.vertices.size(); ++v)
        if (dice.Percent(densities.vertex))
            host::SelectVertex(obj, static_cast<int>(v));
    for (size_t f = 0; f < obj.faces.size(); ++f) {
        Face& face = obj.faces[f];
        if (face.points.empty())
            continue;
        if (dice.Percent(densities.face))
            host::SelectFace(obj, static_cast<int>(f));
        for (size_t k = 0; k < face.points.size(); ++k)
            if (dice.Percent(densities.line))
                host::SelectLine(obj, static_cast<int>(f), static_cast<int>(k));
    }
}

// Selects one row of a grid patch: an open chain for the edge splitter and
// a rim for the fold.
static void SelectRow(Dice& dice, Object& obj, int first, int length)
{
    const int start = first + dice.Int(0, 2);
    for (int v = start; v < start + length && v < static_cast<int>(obj.vertices.size()); ++v)
        host::SelectVertex(obj, v);
}

static void RandomCoordinates(Dice& dice, Object& obj)
{
    for (Face& face : obj.faces)
        for (host::UV& uv : face.uv)
            uv = {static_cast<float>(dice.Int(0, 8)) / 8.0f, static_cast<float>(dice.Int(0, 8)) / 8.0f};
}

// Leaves one selected face and one selected vertex, a point of it: where
// the UV copy starts its walk.
static void SelectWalkStart(Dice& dice, Object& obj)
{
    std::vector<int> usable;
    for (size_t f = 0; f < obj.faces.size(); ++f)
        if (obj.faces[f].points.size() >= 1 && obj.faces[f].points.size() <= 4)
            usable.push_back(static_cast<int>(f));
    if (usable.empty())
        return;
    const int face = usable[static_cast<size_t>(dice.Int(0, static_cast<int>(usable.size()) - 1))];
    const auto& points = obj.faces[static_cast<size_t>(face)].points;
    const int vertex = points[static_cast<size_t>(dice.Int(0, static_cast<int>(points.size()) - 1))];
    if (vertex < 0 || vertex >= static_cast<int>(obj.vertices.size()))
        return;
    for (size_t v = 0; v < obj.vertices.size(); ++v)
        host::SelectVertex(obj, static_cast<int>(v), false);
    for (size_t f = 0; f < obj.faces.size(); ++f)
        host::SelectFace(obj, static_cast<int>(f), false);
    host::SelectFace(obj, face);
    host::SelectVertex(obj, vertex);
}

static void BuildObject(Dice& dice, Object& obj, int materialCount, const Densities& densities)
{
    const int nanPercent = dice.Percent(20) ? 5 : 0;
    const int patches = dice.Int(0, 2);
    std::vector<int> patchStarts;
    for (int i = 0; i < patches; ++i)
        patchStarts.push_back(AddGridPatch(dice, obj, nanPercent));
    // Loose vertices: unused ones, and corners of the random faces below.
    const int loose = dice.Int(0, 6);
    for (int i = 0; i < loose; ++i)
        host::AddVertex(obj, {Coordinate(dice, nanPercent), Coordinate(dice, nanPercent),
                              Coordinate(dice, nanPercent)});
    const int vertexCount = static_cast<int>(obj.vertices.size());
    if (vertexCount > 0) {
        const int extra = dice.Int(0, 8);
        static const int kPointCounts[] = {1, 2, 2, 3, 3, 4, 4, 5, 6};
        for (int i = 0; i < extra; ++i)
            host::AddFace(obj, RandomPoints(dice, vertexCount, kPointCounts[dice.Int(0, 8)]));
        if (dice.Percent(15))
            AddStrayFace(dice, obj);
    }
    for (size_t f = 0; f < obj.faces.size(); ++f)
        if (dice.Percent(5))
            host::DeleteFace(obj, static_cast<int>(f));
    for (Face& face : obj.faces)
        if (!face.points.empty() && materialCount > 0 && dice.Percent(60))
            face.material = dice.Int(0, materialCount - 1);
    RandomCoordinates(dice, obj);
    Select(dice, obj, densities);
    if (!patchStarts.empty() && dice.Percent(50))
        SelectRow(dice, obj, patchStarts[0], dice.Int(2, 6));
}

static const char* const kMapNames[] = {"", "wood.png", "stone.bmp", "grass.jpg"};

static void AddMaterials(Dice& dice, Document& doc)
{
    const int count = dice.Int(0, 3);
    for (int i = 0; i < count; ++i) {
        if (dice.Percent(15)) {
            host::AddEmptyMaterialSlot(doc);
            continue;
        }
        host::Material& mat = *doc.materials[static_cast<size_t>(
            host::AddMaterial(doc, "mat" + std::to_string(i)))];
        mat.texture = kMapNames[dice.Int(0, 3)];
        mat.alpha = kMapNames[dice.Int(0, 3)];
        mat.bump = kMapNames[dice.Int(0, 3)];
    }
}

Document RandomDocument(Dice& dice)
{
    Document doc;
    AddMaterials(dice, doc);
    static const int kVertexDensities[] = {0, 5, 30, 70, 100};
    static const int kLineDensities[] = {0, 0, 5, 20};
    static const int kFaceDensities[] = {0, 0, 5, 30};
    const Densities densities = {kVertexDensities[dice.Int(0, 4)], kLineDensities[dice.Int(0, 3)],
                                 kFaceDensities[dice.Int(0, 3)]};
    const int slots = dice.Int(1, 4);
    // Documents laid out for the UV copy: a walk start in the first object,
    // which is current, and more copies of it.
    const bool forCopy = dice.Percent(40);
    for (int i = 0; i < slots; ++i) {
        if (i > 0 && dice.Percent(20)) {
            host::AddEmptyObjectSlot(doc);
            continue;
        }
        // A copy of the first object (same layout, other coordinates) for
        // the UV copy to pair with.
        if (i > 0 && doc.objects[0] && dice.Percent(forCopy ? 70 : 20)) {
            doc.objects.push_back(std::make_unique<Object>(*doc.objects[0]));
            doc.objects.back()->name = "copy" + std::to_string(i);
            RandomCoordinates(dice, *doc.objects.back());
            continue;
        }
        Object& obj = *doc.objects[static_cast<size_t>(host::AddObject(doc, "obj" + std::to_string(i)))];
        BuildObject(dice, obj, static_cast<int>(doc.materials.size()), densities);
        if (i == 0 && forCopy)
            SelectWalkStart(dice, obj);
    }
    doc.currentObject = forCopy ? 0 : dice.Int(0, slots - 1);
    // A view turned about y by a quarter, about x by a half, or not at all.
    const int view = dice.Int(0, 2);
    if (view == 1) {
        const float turn[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1};
        std::memcpy(doc.scene.view, turn, sizeof turn);
    } else if (view == 2) {
        const float turn[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
        std::memcpy(doc.scene.view, turn, sizeof turn);
    }
    return doc;
}

template <typename Array>
static bool SameBits(const Array& a, const Array& b)
{
    using T = typename Array::value_type;
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)   // element by element: vertices lie in chunks
        if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0)
            return false;
    return true;
}

static std::string ObjectDifference(const Object& a, const Object& b)
{
    if (a.name != b.name)
        return "name";
    if (!SameBits(a.vertices, b.vertices))
        return "vertex positions";
    if (a.refCount != b.refCount)
        return "reference counts";
    if (a.vertexSelected != b.vertexSelected)
        return "vertex selection";
    if (a.faces.size() != b.faces.size())
        return "face count";
    for (size_t f = 0; f < a.faces.size(); ++f) {
        const Face& fa = a.faces[f];
        const Face& fb = b.faces[f];
        const std::string at = " of face " + std::to_string(f);
        if (fa.points != fb.points)
            return "points" + at;
        if (!SameBits(fa.uv, fb.uv))
            return "coordinates" + at;
        if (fa.material != fb.material)
            return "material" + at;
        if (fa.selected != fb.selected)
            return "selection" + at;
        if (fa.lineSelected != fb.lineSelected)
            return "line selection" + at;
    }
    return "";
}

static std::string MaterialDifference(const host::Material& a, const host::Material& b)
{
    if (a.name != b.name || a.texture != b.texture || a.alpha != b.alpha || a.bump != b.bump)
        return "names";
    if (a.textureLoads != b.textureLoads || a.alphaLoads != b.alphaLoads || a.bumpLoads != b.bumpLoads)
        return "load counts";
    return "";
}

std::string FirstDifference(const Document& a, const Document& b)
{
    if (a.objects.size() != b.objects.size())
        return "object count";
    for (size_t i = 0; i < a.objects.size(); ++i) {
        if (!a.objects[i] != !b.objects[i])
            return "object slot " + std::to_string(i);
        if (!a.objects[i])
            continue;
        const std::string difference = ObjectDifference(*a.objects[i], *b.objects[i]);
        if (!difference.empty())
            return "object " + std::to_string(i) + ": " + difference;
    }
    if (a.materials.size() != b.materials.size())
        return "material count";
    for (size_t i = 0; i < a.materials.size(); ++i) {
        if (!a.materials[i] != !b.materials[i])
            return "material slot " + std::to_string(i);
        if (!a.materials[i])
            continue;
        const std::string difference = MaterialDifference(*a.materials[i], *b.materials[i]);
        if (!difference.empty())
            return "material " + std::to_string(i) + ": " + difference;
    }
    if (a.currentObject != b.currentObject || a.currentMaterial != b.currentMaterial)
        return "current indices";
    if (std::memcmp(&a.scene, &b.scene, sizeof a.scene) != 0)
        return "scene";
    return "";
}

std::string RandomSavedPoints(Dice& dice, const Document& doc)
{
    std::ostringstream text;
    const int lines = dice.Int(0, 12);
    const int objects = static_cast<int>(doc.objects.size());
    for (int i = 0; i < lines; ++i) {
        if (dice.Percent(10)) {
            text << "7 x\n";   // damaged
            continue;
        }
        const int o = dice.Int(-1, objects);
        const Object* obj = host::GetObject(doc, o);
        const int vertices = obj ? static_cast<int>(obj->vertices.size()) : 3;
        char line[96];
        std::snprintf(line, sizeof line, "%d %d %f %f %f\n", o, dice.Int(-1, vertices),
                      dice.Int(-40, 40) / 8.0, dice.Int(-40, 40) / 8.0, dice.Int(-40, 40) / 8.0);
        text << line;
    }
    return text.str();
}

}  // namespace kivera_test
