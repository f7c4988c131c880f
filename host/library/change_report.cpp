#include "host/library/change_report.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace host {

namespace {

// Positions and UVs compare by their bits: a NaN that stays NaN is no change,
// and -0 against +0 is one.
template <typename T>
bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// A vertex's or a line's flag; an index past the stored flags reads as clear.
template <typename Flags>
bool Flag(const Flags& flags, std::size_t index)
{
    return index < flags.size() && flags[index] != 0;
}

bool SameUVs(const host::Face& a, const host::Face& b)
{
    if (a.uv.size() != b.uv.size())
        return false;
    for (std::size_t k = 0; k < a.uv.size(); ++k) {
        if (!SameBits(a.uv[k], b.uv[k]))
            return false;
    }
    return true;
}

void CompareVertices(const host::Object& before, const host::Object& after, ObjectChanges& changes)
{
    const std::size_t common = std::min(before.vertices.size(), after.vertices.size());
    for (std::size_t v = 0; v < after.vertices.size(); ++v) {
        const int index = static_cast<int>(v);
        if (v >= common)
            changes.verticesAdded.push_back(index);
        else if (!SameBits(before.vertices[v], after.vertices[v]))
            changes.verticesMoved.push_back(index);
        const bool was = v < common && Flag(before.vertexSelected, v);
        const bool is = Flag(after.vertexSelected, v);
        if (is && !was)
            changes.verticesSelected.push_back(index);
        if (was && !is)
            changes.verticesDeselected.push_back(index);
    }
    for (std::size_t v = common; v < before.vertices.size(); ++v) {
        if (Flag(before.vertexSelected, v))
            changes.verticesDeselected.push_back(static_cast<int>(v));
    }
    changes.verticesRemoved = static_cast<int>(before.vertices.size() - common);
}

// The selection of one face slot before and after (an empty or missing slot
// has none).
void CompareFaceSelection(const host::Face* before, const host::Face* after, int face,
                          ObjectChanges& changes)
{
    const bool was = before && !before->points.empty() && before->selected;
    const bool is = after && !after->points.empty() && after->selected;
    if (is && !was)
        changes.facesSelected.push_back(face);
    if (was && !is)
        changes.facesDeselected.push_back(face);
    const std::size_t lines = std::max(before ? before->points.size() : 0,
                                       after ? after->points.size() : 0);
    for (std::size_t k = 0; k < lines; ++k) {
        const bool lineWas = before && k < before->points.size() && Flag(before->lineSelected, k);
        const bool lineIs = after && k < after->points.size() && Flag(after->lineSelected, k);
        if (lineIs && !lineWas)
            changes.linesSelected.push_back(LineRef{face, static_cast<int>(k)});
        if (lineWas && !lineIs)
            changes.linesDeselected.push_back(LineRef{face, static_cast<int>(k)});
    }
}

void CompareFaces(const host::Object& before, const host::Object& after, ObjectChanges& changes)
{
    const std::size_t count = std::max(before.faces.size(), after.faces.size());
    for (std::size_t f = 0; f < count; ++f) {
        const int index = static_cast<int>(f);
        const host::Face* was = f < before.faces.size() ? &before.faces[f] : nullptr;
        const host::Face* is = f < after.faces.size() ? &after.faces[f] : nullptr;
        const bool existed = was && !was->points.empty();
        const bool exists = is && !is->points.empty();
        if (exists && !existed)
            changes.facesAdded.push_back(index);
        else if (existed && !exists)
            changes.facesDeleted.push_back(index);
        else if (existed && exists) {
            if (was->points != is->points)
                changes.facesRewritten.push_back(index);
            if (!SameUVs(*was, *is))
                changes.uvsRewritten.push_back(index);
            if (was->material != is->material)
                changes.materialsChanged.push_back(index);
        }
        CompareFaceSelection(was, is, index, changes);
    }
}

bool HasChange(const ObjectChanges& c)
{
    return c.added || c.removed || !c.verticesMoved.empty() || !c.verticesAdded.empty() ||
           c.verticesRemoved != 0 || !c.facesAdded.empty() || !c.facesDeleted.empty() ||
           !c.facesRewritten.empty() || !c.verticesSelected.empty() ||
           !c.verticesDeselected.empty() || !c.facesSelected.empty() ||
           !c.facesDeselected.empty() || !c.linesSelected.empty() || !c.linesDeselected.empty() ||
           !c.uvsRewritten.empty() || !c.materialsChanged.empty();
}

void CompareMaterial(const host::Material* before, const host::Material& after, int index,
                     ChangeReport& report)
{
    MaterialChanges changes;
    changes.materialIndex = index;
    changes.name = after.name;
    const host::Material empty;
    const host::Material& was = before ? *before : empty;
    const struct {
        const char* kind;
        int loadsBefore, loadsAfter;
        const std::string& nameBefore;
        const std::string& nameAfter;
    } maps[] = {{"texture", was.textureLoads, after.textureLoads, was.texture, after.texture},
                {"alpha", was.alphaLoads, after.alphaLoads, was.alpha, after.alpha},
                {"bump", was.bumpLoads, after.bumpLoads, was.bump, after.bump}};
    for (const auto& map : maps) {
        if (map.loadsAfter != map.loadsBefore || map.nameAfter != map.nameBefore)
            changes.mapsSet.emplace_back(map.kind, map.nameAfter);
    }
    if (!changes.mapsSet.empty())
        report.materials.push_back(changes);
}

std::string Count(const IndexList& list)
{
    return std::to_string(list.size()) + " (" + FormatIndexRuns(list) + ")";
}

std::string LineList(const std::vector<LineRef>& lines)
{
    constexpr std::size_t kShown = 8;
    std::string out = std::to_string(lines.size()) + " (";
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i)
        out += (i ? ", " : "") + std::string("face ") + std::to_string(lines[i].face) + " line " +
               std::to_string(lines[i].line);
    if (lines.size() > kShown)
        out += ", ...";
    return out + ")";
}

}  // namespace

ChangeReport CompareDocuments(const host::Document& before, const host::Document& after)
{
    ChangeReport report;
    const std::size_t objects = std::max(before.objects.size(), after.objects.size());
    const host::Object emptyObject;
    for (std::size_t o = 0; o < objects; ++o) {
        const host::Object* was = o < before.objects.size() ? before.objects[o].get() : nullptr;
        const host::Object* is = o < after.objects.size() ? after.objects[o].get() : nullptr;
        if (!was && !is)
            continue;
        ObjectChanges changes;
        changes.objectIndex = static_cast<int>(o);
        changes.name = is ? is->name : was->name;
        changes.added = !was;
        changes.removed = !is;
        CompareVertices(was ? *was : emptyObject, is ? *is : emptyObject, changes);
        CompareFaces(was ? *was : emptyObject, is ? *is : emptyObject, changes);
        if (HasChange(changes))
            report.objects.push_back(std::move(changes));
    }
    for (std::size_t m = 0; m < after.materials.size(); ++m) {
        if (!after.materials[m])
            continue;
        const host::Material* was = m < before.materials.size() ? before.materials[m].get() : nullptr;
        CompareMaterial(was, *after.materials[m], static_cast<int>(m), report);
    }
    report.currentObjectBefore = before.currentObject;
    report.currentObjectAfter = after.currentObject;
    report.currentObjectChanged = before.currentObject != after.currentObject;
    report.viewChanged = !SameBits(before.scene.view, after.scene.view);
    return report;
}

bool IsEmpty(const ChangeReport& report)
{
    return report.objects.empty() && report.materials.empty() && !report.currentObjectChanged &&
           !report.viewChanged;
}

std::string FormatIndexRuns(const IndexList& indices, std::size_t limit)
{
    std::string out;
    std::size_t runs = 0;
    for (std::size_t i = 0; i < indices.size();) {
        std::size_t end = i;
        while (end + 1 < indices.size() && indices[end + 1] == indices[end] + 1)
            ++end;
        if (runs == limit) {
            out += ", ...";
            break;
        }
        out += (runs ? ", " : "") + std::to_string(indices[i]);
        if (end > i)
            out += "-" + std::to_string(indices[end]);
        ++runs;
        i = end + 1;
    }
    return out;
}

std::string FormatChangeReport(const ChangeReport& report, const std::string& indent)
{
    if (IsEmpty(report))
        return indent + "no change\n";
    std::string out;
    const std::string inner = indent + "  ";
    for (const ObjectChanges& c : report.objects) {
        out += indent + "object " + std::to_string(c.objectIndex) +
               (c.name.empty() ? "" : " \"" + c.name + "\"") +
               (c.added ? " (new)" : c.removed ? " (removed)" : "") + ":\n";
        const std::pair<const char*, const IndexList*> lists[] = {
            {"vertices moved", &c.verticesMoved},
            {"vertices added", &c.verticesAdded},
            {"faces added", &c.facesAdded},
            {"faces deleted", &c.facesDeleted},
            {"faces with other points", &c.facesRewritten},
            {"vertices selected", &c.verticesSelected},
            {"vertices deselected", &c.verticesDeselected},
            {"faces selected", &c.facesSelected},
            {"faces deselected", &c.facesDeselected},
            {"faces with UVs rewritten", &c.uvsRewritten},
            {"faces with another material", &c.materialsChanged}};
        for (const auto& list : lists) {
            if (!list.second->empty())
                out += inner + list.first + ": " + Count(*list.second) + "\n";
            if (list.second == &c.verticesAdded && c.verticesRemoved > 0)
                out += inner + "vertices removed: " + std::to_string(c.verticesRemoved) + "\n";
            if (list.second == &c.verticesDeselected && !c.linesSelected.empty())
                out += inner + "lines selected: " + LineList(c.linesSelected) + "\n";
            if (list.second == &c.verticesDeselected && !c.linesDeselected.empty())
                out += inner + "lines deselected: " + LineList(c.linesDeselected) + "\n";
        }
    }
    for (const MaterialChanges& m : report.materials) {
        out += indent + "material " + std::to_string(m.materialIndex) +
               (m.name.empty() ? "" : " \"" + m.name + "\"") + ":\n";
        for (const auto& map : m.mapsSet)
            out += inner + map.first + " map set: \"" + map.second + "\"\n";
    }
    if (report.currentObjectChanged)
        out += indent + "current object: " + std::to_string(report.currentObjectBefore) + " -> " +
               std::to_string(report.currentObjectAfter) + "\n";
    if (report.viewChanged)
        out += indent + "view matrix changed\n";
    return out;
}

}  // namespace host
