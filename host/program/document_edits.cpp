#include "host/program/document_edits.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "host/library/view_matrix.h"

namespace host {

// A whole non-negative decimal number.
static bool ParseIndex(const std::string& text, long& value)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

static std::vector<std::string> SplitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

static std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// One item "7" or "7-9" into [low, high].
static bool ParseRange(const std::string& item, long& low, long& high)
{
    const std::size_t dash = item.find('-');
    if (dash == std::string::npos)
        return ParseIndex(item, low) && ParseIndex(item, high);
    return ParseIndex(item.substr(0, dash), low) && ParseIndex(item.substr(dash + 1), high) &&
           low <= high;
}

bool ParseIndexList(const std::string& text, int limit, std::vector<int>& indices,
                    std::string& error)
{
    indices.clear();
    for (const std::string& raw : SplitAt(text, ',')) {
        const std::string item = Trimmed(raw);
        long low = 0, high = 0;
        if (!ParseRange(item, low, high)) {
            error = "\"" + item + "\" is not an index or a rising range (write 0,4,7-9)";
            return false;
        }
        if (high >= limit) {
            error = std::to_string(high) + " is out of range: " +
                    (limit == 0 ? std::string("there are none")
                                : "the indices are 0 to " + std::to_string(limit - 1));
            return false;
        }
        for (long i = low; i <= high; ++i)
            indices.push_back(static_cast<int>(i));
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return true;
}

namespace {

struct LineChoice {
    int face;
    int line;
};

int FaceCount(const host::Object& obj) { return static_cast<int>(obj.faces.size()); }

bool CheckFaces(const host::Object& obj, const std::vector<int>& faces, std::string& error)
{
    for (int f : faces) {
        if (obj.faces[static_cast<std::size_t>(f)].points.empty()) {
            error = "face " + std::to_string(f) + " is an empty slot";
            return false;
        }
    }
    return true;
}

bool ParseLines(const host::Object& obj, const std::string& text, std::vector<LineChoice>& lines,
                std::string& error)
{
    for (const std::string& raw : SplitAt(text, ',')) {
        const std::string item = Trimmed(raw);
        const std::size_t colon = item.find(':');
        long face = 0, low = 0, high = 0;
        if (colon == std::string::npos || !ParseIndex(item.substr(0, colon), face) ||
            !ParseRange(item.substr(colon + 1), low, high)) {
            error = "\"" + item + "\" is not a line (write FACE:K, or FACE:K-L)";
            return false;
        }
        if (face >= FaceCount(obj)) {
            error = "face " + std::to_string(face) + " is out of range: the object has " +
                    (FaceCount(obj) == 0 ? std::string("no faces")
                                         : "faces 0 to " + std::to_string(FaceCount(obj) - 1));
            return false;
        }
        const long points = static_cast<long>(obj.faces[static_cast<std::size_t>(face)].points.size());
        if (points == 0) {
            error = "face " + std::to_string(face) + " is an empty slot";
            return false;
        }
        if (high >= points) {
            error = "face " + std::to_string(face) + " has lines 0 to " +
                    std::to_string(points - 1) + ", not " + std::to_string(high);
            return false;
        }
        for (long k = low; k <= high; ++k)
            lines.push_back({static_cast<int>(face), static_cast<int>(k)});
    }
    return true;
}

bool CheckObjectIndex(const host::Document& doc, int index, const char* option, std::string& error)
{
    if (index >= 0 && index < static_cast<int>(doc.objects.size()) &&
        doc.objects[static_cast<std::size_t>(index)])
        return true;
    error = std::string(option) + " " + std::to_string(index) + ": ";
    if (index < 0 || index >= static_cast<int>(doc.objects.size()))
        error += "out of range: the document has " +
                 (doc.objects.empty() ? std::string("no objects")
                                      : "objects 0 to " + std::to_string(doc.objects.size() - 1));
    else
        error += "that object slot is empty";
    return false;
}

void ClearSelection(host::Object& obj, bool vertices, bool faces, bool lines)
{
    if (vertices)
        std::fill(obj.vertexSelected.begin(), obj.vertexSelected.end(), 0);
    for (host::Face& face : obj.faces) {
        if (faces)
            face.selected = false;
        if (lines)
            std::fill(face.lineSelected.begin(), face.lineSelected.end(), 0);
    }
}

// A polygon's normal by Newell's sum, in double; zero for a degenerate one.
void PolygonNormal(const host::Object& obj, const host::Face& face, double n[3])
{
    n[0] = n[1] = n[2] = 0.0;
    const std::size_t count = face.points.size();
    for (std::size_t k = 0; k < count; ++k) {
        const host::Vec3& a = obj.vertices[static_cast<std::size_t>(face.points[k])];
        const host::Vec3& b = obj.vertices[static_cast<std::size_t>(face.points[(k + 1) % count])];
        n[0] += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
        n[1] += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
        n[2] += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3 && length > 0.0; ++i)
        n[i] /= length;
}

// The lines of `obj` whose edge two polygons share and whose normals part by
// more than `degrees` (both faces' lines are returned).
std::vector<LineChoice> SharpLines(const host::Object& obj, double degrees)
{
    struct EdgeUse {
        LineChoice first{-1, -1}, second{-1, -1};
        int uses = 0;
    };
    std::unordered_map<std::uint64_t, EdgeUse> edges;
    for (std::size_t f = 0; f < obj.faces.size(); ++f) {
        const host::Face& face = obj.faces[f];
        const std::size_t count = face.points.size();
        if (count < 3)
            continue;
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint32_t a = static_cast<std::uint32_t>(face.points[k]);
            const std::uint32_t b = static_cast<std::uint32_t>(face.points[(k + 1) % count]);
            const std::uint64_t key = (static_cast<std::uint64_t>(std::min(a, b)) << 32) | std::max(a, b);
            EdgeUse& use = edges[key];
            (use.uses == 0 ? use.first : use.second) = LineChoice{static_cast<int>(f), static_cast<int>(k)};
            ++use.uses;
        }
    }
    constexpr double kPi = 3.14159265358979323846;
    std::vector<LineChoice> sharp;
    for (const auto& entry : edges) {
        const EdgeUse& use = entry.second;
        if (use.uses != 2)
            continue;
        double n1[3], n2[3];
        PolygonNormal(obj, obj.faces[static_cast<std::size_t>(use.first.face)], n1);
        PolygonNormal(obj, obj.faces[static_cast<std::size_t>(use.second.face)], n2);
        const double cosine = std::max(-1.0, std::min(1.0, n1[0] * n2[0] + n1[1] * n2[1] + n1[2] * n2[2]));
        if (std::acos(cosine) * 180.0 / kPi > degrees) {
            sharp.push_back(use.first);
            sharp.push_back(use.second);
        }
    }
    return sharp;
}

void SelectFaceWithVertices(host::Object& obj, int face)
{
    host::SelectFace(obj, face);
    for (int p : obj.faces[static_cast<std::size_t>(face)].points)
        host::SelectVertex(obj, p);
}

// Checks the selection by name and by angle: a name that nothing has is an
// error listing what there is. `material` receives the named one's index.
bool CheckNamedSelection(const host::Document& doc, const SelectionRequest& request, int& material,
                         std::string& error)
{
    material = -1;
    if (!request.material.empty()) {
        std::string names;
        for (std::size_t m = 0; m < doc.materials.size() && material < 0; ++m) {
            if (doc.materials[m] && doc.materials[m]->name == request.material)
                material = static_cast<int>(m);
            else if (doc.materials[m])
                names += (names.empty() ? "" : ", ") + ("\"" + doc.materials[m]->name + "\"");
        }
        if (material < 0) {
            error = "--material \"" + request.material + "\": the document has no such material" +
                    (names.empty() ? std::string(" (it has none)") : " (it has " + names + ")");
            return false;
        }
    }
    if (!request.group.empty()) {
        bool found = false;
        std::string names;
        for (const auto& obj : doc.objects) {
            found = found || (obj && obj->name == request.group);
            if (obj && names.size() < 200)
                names += (names.empty() ? "" : ", ") + ("\"" + obj->name + "\"");
        }
        if (!found) {
            error = "--group \"" + request.group + "\": no group or object has that name (there are " +
                    names + ")";
            return false;
        }
    }
    if (request.sharpEdges >= 0.0 && !(request.sharpEdges < 180.0)) {
        error = "--sharp-edges " + std::to_string(request.sharpEdges) +
                ": an angle between two faces is below 180 degrees";
        return false;
    }
    return true;
}

// Adds the selection by name and by angle to every object.
void AddNamedSelection(host::Document& doc, const SelectionRequest& request, int material)
{
    for (auto& obj : doc.objects) {
        if (!obj)
            continue;
        for (std::size_t f = 0; f < obj->faces.size(); ++f) {
            const host::Face& face = obj->faces[f];
            if (face.points.empty())
                continue;
            if ((!request.group.empty() && obj->name == request.group) ||
                (material >= 0 && face.material == material))
                SelectFaceWithVertices(*obj, static_cast<int>(f));
        }
        if (request.sharpEdges >= 0.0) {
            for (const LineChoice& line : SharpLines(*obj, request.sharpEdges)) {
                const host::Face& face = obj->faces[static_cast<std::size_t>(line.face)];
                host::SelectLine(*obj, line.face, line.line);
                host::SelectVertex(*obj, face.points[static_cast<std::size_t>(line.line)]);
                host::SelectVertex(*obj, face.points[(static_cast<std::size_t>(line.line) + 1) % face.points.size()]);
            }
        }
    }
}

}  // namespace

bool SelectsAnything(const SelectionRequest& request)
{
    return !request.vertices.empty() || !request.faces.empty() || !request.lines.empty() ||
           request.clear || request.current >= 0 || !request.group.empty() ||
           !request.material.empty() || request.sharpEdges >= 0.0 || !request.viewRotation.empty();
}

bool ParseViewRotation(const std::string& text, float view[16], std::string& error)
{
    const std::vector<std::string> parts = SplitAt(text, ',');
    double angles[3] = {0.0, 0.0, 0.0};
    bool valid = parts.size() == 2 || parts.size() == 3;
    for (std::size_t i = 0; valid && i < parts.size(); ++i) {
        const std::string item = Trimmed(parts[i]);
        char* end = nullptr;
        errno = 0;
        angles[i] = std::strtod(item.c_str(), &end);
        valid = !item.empty() && end == item.c_str() + item.size() && errno == 0 &&
                std::isfinite(angles[i]) && item.find_first_of("xXnNiI") == std::string::npos;
    }
    if (!valid) {
        error = "--view-rotation \"" + text + "\": write YAW,PITCH or YAW,PITCH,ROLL in degrees (30,20)";
        return false;
    }
    host::ViewMatrixFromAngles(angles[0], angles[1], angles[2], view);
    return true;
}

bool ApplySelection(host::Document& doc, const SelectionRequest& request, std::string& error)
{
    const int objectIndex = request.object >= 0 ? request.object : doc.currentObject;
    const bool touchesObject =
        !request.vertices.empty() || !request.faces.empty() || !request.lines.empty();
    if (touchesObject && !CheckObjectIndex(doc, objectIndex,
                                           request.object >= 0 ? "--object" : "current object",
                                           error))
        return false;
    if (request.current >= 0 && !CheckObjectIndex(doc, request.current, "--current", error))
        return false;

    // Everything is checked before anything changes.
    std::vector<int> vertices, faces;
    std::vector<LineChoice> lines;
    host::Object* obj = touchesObject ? host::GetObject(doc, objectIndex) : nullptr;
    if (!request.vertices.empty() &&
        !ParseIndexList(request.vertices, static_cast<int>(obj->vertices.size()), vertices, error)) {
        error = "--vertices \"" + request.vertices + "\": " + error;
        return false;
    }
    if (!request.faces.empty() &&
        (!ParseIndexList(request.faces, FaceCount(*obj), faces, error) ||
         !CheckFaces(*obj, faces, error))) {
        error = "--faces \"" + request.faces + "\": " + error;
        return false;
    }
    if (!request.lines.empty() && !ParseLines(*obj, request.lines, lines, error)) {
        error = "--lines \"" + request.lines + "\": " + error;
        return false;
    }
    float view[16];
    if (!request.viewRotation.empty() && !ParseViewRotation(request.viewRotation, view, error))
        return false;
    int material = -1;
    if (!CheckNamedSelection(doc, request, material, error))
        return false;

    if (request.clear) {
        for (auto& each : doc.objects)
            if (each)
                ClearSelection(*each, true, true, true);
    }
    if (obj && !request.add)
        ClearSelection(*obj, !request.vertices.empty(), !request.faces.empty(),
                       !request.lines.empty());
    for (int v : vertices)
        host::SelectVertex(*obj, v);
    for (int f : faces)
        host::SelectFace(*obj, f);
    for (const LineChoice& line : lines)
        host::SelectLine(*obj, line.face, line.line);
    AddNamedSelection(doc, request, material);
    if (request.current >= 0)
        doc.currentObject = request.current;
    if (!request.viewRotation.empty())
        std::copy(view, view + 16, doc.scene.view);
    return true;
}

static bool SameLook(const host::Material& a, const host::Material& b)
{
    return a.texture == b.texture && a.alpha == b.alpha && a.bump == b.bump &&
           std::memcmp(a.color, b.color, sizeof a.color) == 0 && a.alphaValue == b.alphaValue;
}

void AppendDocument(host::Document& merged, host::Document&& part, const std::string& partName,
                    std::string& notes)
{
    std::vector<int> materialIndex(part.materials.size(), -1);
    for (std::size_t m = 0; m < part.materials.size(); ++m) {
        std::unique_ptr<host::Material>& material = part.materials[m];
        if (!material)
            continue;
        for (std::size_t k = 0; k < merged.materials.size() && materialIndex[m] < 0; ++k) {
            const host::Material* existing = merged.materials[k].get();
            if (!existing || existing->name != material->name)
                continue;
            materialIndex[m] = static_cast<int>(k);
            if (!SameLook(*existing, *material))
                notes += partName + ": material \"" + material->name +
                         "\" differs from the one of that name before it; that one is kept\n";
        }
        if (materialIndex[m] < 0) {
            materialIndex[m] = static_cast<int>(merged.materials.size());
            merged.materials.push_back(std::move(material));
        }
    }
    for (std::unique_ptr<host::Object>& obj : part.objects) {
        if (obj) {
            for (host::Face& face : obj->faces) {
                if (face.material >= 0 && face.material < static_cast<int>(materialIndex.size()))
                    face.material = materialIndex[static_cast<std::size_t>(face.material)];
            }
        }
        merged.objects.push_back(std::move(obj));
    }
}

}  // namespace host
