#include "host/program/document_edits.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hostapp {

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

}  // namespace

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
    if (request.current >= 0)
        doc.currentObject = request.current;
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

}  // namespace hostapp
