#include "host/library/no_op_explanations.h"

#include <cstdlib>
#include <fstream>
#include <set>

#include "frame/command_ids.h"
#include "host/library/command_names.h"
#include "resources/resource.h"

namespace host {

namespace {

using host::Document;
using host::Face;
using host::Object;

// Faces as the commands see them: an empty slot or a face of more than
// four points is absent.
bool Live(const Face& face) { return !face.points.empty() && face.points.size() <= 4; }

std::size_t Count(const Face& face) { return face.points.size(); }

int Point(const Face& face, std::size_t k) { return face.points[k % face.points.size()]; }

bool Selected(const Object& obj, int v)
{
    const std::size_t index = static_cast<std::size_t>(v);
    return index < obj.vertexSelected.size() && obj.vertexSelected[index];
}

// Selected and used by a face: what most vertex commands take.
bool Picked(const Object& obj, int v)
{
    return Selected(obj, v) && obj.refCount[static_cast<std::size_t>(v)] > 0;
}

bool LineSelected(const Face& face, std::size_t k)
{
    return k < face.lineSelected.size() && face.lineSelected[k];
}

std::string ObjectName(const Document& doc, int index)
{
    const Object* obj = host::GetObject(doc, index);
    return "object " + std::to_string(index) + (obj && !obj->name.empty() ? " \"" + obj->name + "\"" : "");
}

// Visits every object with its index.
template <typename Visit>
void ForObjects(const Document& doc, Visit visit)
{
    for (std::size_t i = 0; i < doc.objects.size(); ++i)
        if (doc.objects[i])
            visit(static_cast<int>(i), *doc.objects[i]);
}

int CountPicked(const Object& obj)
{
    int count = 0;
    for (std::size_t v = 0; v < obj.vertices.size(); ++v)
        count += Picked(obj, static_cast<int>(v)) ? 1 : 0;
    return count;
}

int CountPicked(const Document& doc)
{
    int count = 0;
    ForObjects(doc, [&](int, const Object& obj) { count += CountPicked(obj); });
    return count;
}

bool AnySelectedVertex(const Document& doc)
{
    bool any = false;
    ForObjects(doc, [&](int, const Object& obj) {
        for (unsigned char flag : obj.vertexSelected)
            any = any || flag;
    });
    return any;
}

// Selected faces and lines: of live faces (`live`), or of faces of more
// than four points.
struct FaceSelection {
    int faces = 0, lines = 0;
};

FaceSelection CountFaceSelection(const Document& doc, bool live)
{
    FaceSelection count;
    ForObjects(doc, [&](int, const Object& obj) {
        for (const Face& face : obj.faces) {
            if (face.points.empty() || Live(face) != live)
                continue;
            count.faces += face.selected ? 1 : 0;
            for (std::size_t k = 0; k < Count(face); ++k)
                count.lines += LineSelected(face, k) ? 1 : 0;
        }
    });
    return count;
}

std::string SkippedHint(const Document& doc)
{
    const FaceSelection large = CountFaceSelection(doc, false);
    return large.faces + large.lines > 0
               ? " (the selected ones lie in faces of more than four points, which every "
                 "command skips)"
               : "";
}

std::string NoPickedVertex(const Document& doc)
{
    return AnySelectedVertex(doc) ? "no selected vertex is used by a face" : "no vertex is selected";
}

// The vertices joined to `v` by a side of a live face.
std::set<int> Neighbours(const Object& obj, int v)
{
    std::set<int> found;
    for (const Face& face : obj.faces) {
        if (!Live(face))
            continue;
        const std::size_t n = Count(face);
        for (std::size_t k = 0; k < n; ++k) {
            if (Point(face, k) != v)
                continue;
            if (n >= 2) {
                found.insert(Point(face, k + 1));
                found.insert(Point(face, k + n - 1));
            }
        }
    }
    found.erase(v);
    return found;
}

int SelectedNeighbourCount(const Object& obj, int v)
{
    int count = 0;
    for (int w : Neighbours(obj, v))
        count += Selected(obj, w) ? 1 : 0;
    return count;
}

// Live faces holding both a and b.
std::vector<int> FacesWithEdge(const Object& obj, int a, int b)
{
    std::vector<int> faces;
    for (std::size_t f = 0; f < obj.faces.size(); ++f) {
        const Face& face = obj.faces[f];
        bool hasA = false, hasB = false;
        for (std::size_t k = 0; Live(face) && k < Count(face); ++k) {
            hasA = hasA || face.points[k] == a;
            hasB = hasB || face.points[k] == b;
        }
        if (hasA && hasB)
            faces.push_back(static_cast<int>(f));
    }
    return faces;
}

std::string SelectionExplanation(CommandId id, const Document& doc)
{
    const FaceSelection live = CountFaceSelection(doc, true);
    switch (id) {
    case CommandId::SelectPoints:
        if (live.faces + live.lines == 0)
            return "no object has a selected face or line" + SkippedHint(doc);
        return "every point of the selected faces and lines is already selected";
    case CommandId::DeselectPoints:
        return "no vertex is selected";
    case CommandId::DeselectEdgesAndFaces:
        return "no line or face is selected";
    case CommandId::SelectNeighbours:
        if (CountPicked(doc) == 0)
            return NoPickedVertex(doc);
        return "every point that shares a face side with a selected point is already selected";
    case CommandId::SelectConnected:
        if (!AnySelectedVertex(doc) && live.faces + live.lines == 0)
            return "nothing is selected: it grows from selected points, up to selected faces "
                   "and lines" + SkippedHint(doc);
        return "everything joined to the selected points is already selected";
    default: {
        bool pair = false;
        ForObjects(doc, [&](int, const Object& obj) {
            for (const Face& face : obj.faces)
                for (std::size_t k = 0; Live(face) && k < Count(face); ++k)
                    pair = pair || (Selected(obj, Point(face, k)) && Selected(obj, Point(face, k + 1)));
        });
        if (!AnySelectedVertex(doc))
            return "no vertex is selected";
        if (!pair)
            return "no face side has both end points selected";
        return "every line whose two end points are selected is already selected, and so is "
               "every face all of whose lines are";
    }
    }
}

// The current object, or "" with `why` saying what is wrong with it.
const Object* CurrentObject(const Document& doc, std::string& why)
{
    const Object* obj = host::GetObject(doc, doc.currentObject);
    if (!obj)
        why = "the current object " + std::to_string(doc.currentObject) +
              (doc.currentObject >= 0 && doc.currentObject < static_cast<int>(doc.objects.size())
                   ? " is an empty slot"
                   : " does not exist");
    return obj;
}

bool OtherObjectPicked(const Document& doc)
{
    bool any = false;
    ForObjects(doc, [&](int i, const Object& obj) {
        any = any || (i != doc.currentObject && CountPicked(obj) > 0);
    });
    return any;
}

std::string AlignExplanation(const Document& doc)
{
    std::string why;
    const Object* current = CurrentObject(doc, why);
    if (!current)
        return why;
    if (CountPicked(*current) == 0)
        return "the current " + ObjectName(doc, doc.currentObject) +
               " has no selected vertex that a face uses: it is the target";
    if (!OtherObjectPicked(doc))
        return "no object besides the current one has a selected vertex that a face uses";
    return "the other objects' selected vertices already centre on the current object's";
}

// Why selected vertex v does not fold, or "" when it does.
std::string FoldFailure(const Object& obj, int v)
{
    std::vector<int> polygons;   // with repeats, as the fold counts them
    for (std::size_t f = 0; f < obj.faces.size(); ++f) {
        const Face& face = obj.faces[f];
        for (std::size_t k = 0; Live(face) && Count(face) > 2 && k < Count(face); ++k)
            if (face.points[k] == v)
                polygons.push_back(static_cast<int>(f));
    }
    const int uses = obj.refCount[static_cast<std::size_t>(v)];
    if (uses == 3) {
        if (polygons.size() != 2)
            return "is used by 3 face corners but lies on " + std::to_string(polygons.size()) +
                   " polygons, not 2";
        int shared = 0;
        for (int p : obj.faces[static_cast<std::size_t>(polygons[0])].points)
            for (int q : obj.faces[static_cast<std::size_t>(polygons[1])].points)
                shared += p == q ? 1 : 0;
        return shared == 2 ? "" : "lies on two polygons that share " + std::to_string(shared) +
                                      " points, not one edge";
    }
    if (uses != 2)
        return "is used by " + std::to_string(uses) + (uses == 1 ? " face corner" : " face corners");
    if (polygons.empty())
        return "lies on no polygon";
    const Face& quad = obj.faces[static_cast<std::size_t>(polygons[0])];
    const std::string faceName = "face " + std::to_string(polygons[0]);
    if (Count(quad) != 4)
        return "lies first on a triangle (" + faceName + "); a rim fold needs a quadrilateral";
    std::vector<std::size_t> corners;
    for (std::size_t k = 0; k < 4; ++k)
        if (Selected(obj, quad.points[k]))
            corners.push_back(k);
    if (corners.size() != 2)
        return "has " + std::to_string(corners.size()) +
               (corners.size() == 1 ? " selected corner" : " selected corners") + " on " +
               faceName + ", not 2";
    const bool neighbours = corners[1] == corners[0] + 1 || (corners[0] == 0 && corners[1] == 3);
    return neighbours ? "" : "and the other selected corner of " + faceName + " are diagonal";
}

std::string FoldExplanation(const Document& doc)
{
    if (!AnySelectedVertex(doc))
        return "no vertex is selected";
    std::string first;
    bool folds = false;
    ForObjects(doc, [&](int i, const Object& obj) {
        for (std::size_t v = 0; v < obj.vertices.size() && !folds; ++v) {
            if (!Selected(obj, static_cast<int>(v)))
                continue;
            const std::string why = FoldFailure(obj, static_cast<int>(v));
            folds = why.empty();
            if (first.empty())
                first = "object " + std::to_string(i) + "'s selected vertex " + std::to_string(v) +
                        " " + why;
        }
    });
    if (folds)
        return "the vertices that fold already lie where the fold puts them";
    return first + "; a fold needs a selected rim vertex on two polygons that share one edge "
                   "(3 face corners with a line), or on a quadrilateral's rim (2 face corners) "
                   "with exactly one selected neighbouring corner";
}

const char* const kAxisNames[3] = {"x", "y", "z"};

std::string ArrangeExplanation(const Document& doc, const DialogChoice* choice)
{
    if (choice && !choice->ok)
        return "the dialog closed without ok, so nothing was arranged (answer it with --dialog, "
               "see kivera-host dialogs)";
    if (CountPicked(doc) == 0)
        return NoPickedVertex(doc);
    if (!choice)
        return "the selected vertices already lie on the line, or the dialog was cancelled or "
               "its movement axes move nothing";
    const int main = IsChecked(*choice, IDC_MAIN_Z) ? 2 : IsChecked(*choice, IDC_MAIN_Y) ? 1 : 0;
    std::string crossAxes;
    for (int axis = 0; axis < 3; ++axis)
        if (axis != main && IsChecked(*choice, IDC_MOVE_X + axis))
            crossAxes += kAxisNames[axis];
    if (IsChecked(*choice, IDC_OBJECT_MODE)) {
        int objects = 0;
        ForObjects(doc, [&](int, const Object& obj) { objects += CountPicked(obj) > 0 ? 1 : 0; });
        if (objects < 2)
            return "object mode needs selected vertices in two objects or more; only one has any";
    }
    const bool objectMode = IsChecked(*choice, IDC_OBJECT_MODE);
    if (crossAxes.empty() && !(objectMode && IsChecked(*choice, IDC_EQUAL_DIVISION)))
        return std::string("no movement axis other than the main axis ") + kAxisNames[main] +
               " is checked (move-" + kAxisNames[(main + 1) % 3] + ", move-" +
               kAxisNames[(main + 2) % 3] + ")";
    std::set<float> mains;
    ForObjects(doc, [&](int, const Object& obj) {
        for (std::size_t v = 0; v < obj.vertices.size(); ++v)
            if (Picked(obj, static_cast<int>(v)))
                mains.insert(main == 0 ? obj.vertices[v].x
                                       : main == 1 ? obj.vertices[v].y : obj.vertices[v].z);
    });
    if (mains.size() < 2)
        return std::string("every selected vertex has the same ") + kAxisNames[main] +
               " (the main axis): there is no line between two ends to arrange on";
    return "the selected vertices already lie on the line";
}

std::string BulgeExplanation(const Document& doc)
{
    std::string why;
    const Object* profile = CurrentObject(doc, why);
    if (!profile)
        return why + "; it is the height profile";
    if (!OtherObjectPicked(doc))
        return "no object besides the current one (the height profile) has a selected vertex "
               "that a face uses";
    bool raised = false;
    for (const Face& face : profile->faces) {
        for (std::size_t k = 0; Live(face) && Count(face) >= 3 && k < Count(face); ++k)
            raised = raised || profile->vertices[static_cast<std::size_t>(face.points[k])].z > 0;
    }
    if (!raised)
        return "the current " + ObjectName(doc, doc.currentObject) +
               " (the height profile) has no triangle or quad with a corner above z = 0";
    return "no selected vertex lies over a part of the current object's faces above z = 0";
}

std::string IdxPath(const std::string& folder)
{
    return folder.empty() ? std::string("kivera.idx")
                          : folder + (folder.back() == '/' ? "" : "/") + "kivera.idx";
}

bool HasMessage(const CommandRun& run, const std::string& text)
{
    for (const std::string& line : run.messages)
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

std::string RestoreExplanation(const Document& doc, const CommandRun& run)
{
    const std::string path = IdxPath(run.systemFolder);
    if (run.result == 0 && HasMessage(run, "Error file open"))
        return "no saved points: " + path + " could not be read (run save-points first)";
    if (run.result == 0 || (run.dialog && !run.dialog->ok))
        return "the dialog closed without ok, so nothing was restored (answer it with "
               "--dialog \"x y z ok\")";
    if (run.dialog && !IsChecked(*run.dialog, IDC_RESTORE_X) &&
        !IsChecked(*run.dialog, IDC_RESTORE_Y) && !IsChecked(*run.dialog, IDC_RESTORE_Z))
        return "no axis was checked in the dialog (x, y, z)";
    std::ifstream in(path);
    std::string line;
    int lines = 0, found = 0;
    while (std::getline(in, line)) {
        ++lines;
        const int object = std::atoi(line.c_str());
        const std::size_t space = line.find(' ');
        const int vertex = space == std::string::npos ? -1 : std::atoi(line.c_str() + space + 1);
        const Object* obj = host::GetObject(doc, object);
        found += obj && vertex >= 0 && static_cast<std::size_t>(vertex) < obj->vertices.size() &&
                         obj->refCount[static_cast<std::size_t>(vertex)] > 0
                     ? 1
                     : 0;
    }
    if (found == 0)
        return path + " lists no vertex of this document that a face uses (" +
               std::to_string(lines) + (lines == 1 ? " line)" : " lines)");
    return "the " + std::to_string(found) + " vertices listed in " + path +
           " already have the saved coordinates";
}

std::string SplitExplanation(const Document& doc)
{
    if (CountPicked(doc) == 0)
        return NoPickedVertex(doc);
    bool joined = false, end = false;
    ForObjects(doc, [&](int, const Object& obj) {
        for (std::size_t v = 0; v < obj.vertices.size() && !end; ++v) {
            if (!Picked(obj, static_cast<int>(v)))
                continue;
            const int count = SelectedNeighbourCount(obj, static_cast<int>(v));
            joined = joined || count > 0;
            end = count == 1;
        }
    });
    if (!joined)
        return "no two selected vertices are joined by a face side";
    if (!end)
        return "the selected vertices form closed loops: a split starts at the end of an open "
               "chain, a selected vertex with exactly one selected neighbour";
    return "the chains of selected vertices gave no segment to split";
}

// Cut groove and bevel: a selected line shared by exactly two faces.
std::string EdgeExplanation(const Document& doc, CommandId id)
{
    const FaceSelection live = CountFaceSelection(doc, true);
    if (live.lines == 0)
        return "no line is selected" + SkippedHint(doc);
    std::string first;
    bool usable = false;
    ForObjects(doc, [&](int, const Object& obj) {
        for (std::size_t f = 0; f < obj.faces.size() && !usable; ++f) {
            const Face& face = obj.faces[f];
            if (!Live(face) || (id == CommandId::Bevel && Count(face) < 3))
                continue;
            for (std::size_t k = 0; k < Count(face) && !usable; ++k) {
                if (!LineSelected(face, k))
                    continue;
                const std::size_t faces =
                    FacesWithEdge(obj, Point(face, k), Point(face, k + 1)).size();
                usable = faces == 2;
                if (first.empty())
                    first = "face " + std::to_string(f) + "'s line " + std::to_string(k) +
                            " lies on " + std::to_string(faces) + (faces == 1 ? " face" : " faces");
            }
        }
    });
    if (!usable)
        return "no selected line is shared by exactly two faces (" + first + ")";
    return id == CommandId::CutGroove ? "the faces beside the selected lines take no groove (not triangles or "
                       "quads, not wound the same way, or unusable coordinates)"
                     : "the faces beside the selected lines give no guide line";
}

// Why object `index` has no usable start for the UV copy, or "".
std::string UvStartFailure(const Document& doc, int index)
{
    const Object& obj = *host::GetObject(doc, index);
    int face = -1, vertex = -1;
    for (std::size_t f = 0; f < obj.faces.size() && face < 0; ++f)
        if (Live(obj.faces[f]) && obj.faces[f].selected)
            face = static_cast<int>(f);
    for (std::size_t v = 0; v < obj.vertices.size() && vertex < 0; ++v)
        if (Picked(obj, static_cast<int>(v)))
            vertex = static_cast<int>(v);
    const std::string name = ObjectName(doc, index);
    if (face < 0)
        return name + " has no selected face";
    if (vertex < 0)
        return name + " has no selected vertex that a face uses";
    for (int p : obj.faces[static_cast<std::size_t>(face)].points)
        if (p == vertex)
            return "";
    return "object " + std::to_string(index) + "'s selected vertex " + std::to_string(vertex) +
           " is not a point of its selected face " + std::to_string(face);
}

std::string UvCopyExplanation(const Document& doc)
{
    std::string why;
    if (!CurrentObject(doc, why))
        return why + "; it is the source";
    why = UvStartFailure(doc, doc.currentObject);
    if (!why.empty())
        return why + " (the current object is the source: select one face and one of its points)";
    std::string firstTarget;
    bool usable = false, others = false;
    ForObjects(doc, [&](int i, const Object&) {
        if (i == doc.currentObject)
            return;
        others = true;
        const std::string failure = UvStartFailure(doc, i);
        usable = usable || failure.empty();
        if (firstTarget.empty())
            firstTarget = failure;
    });
    if (!others)
        return "there is no object besides the current one to copy to";
    if (!usable)
        return firstTarget + " (each target needs a selected face and one of its points)";
    return "the targets already have the source's coordinates";
}

std::string NoOpExplanation(const Document& before, const CommandRun& run)
{
    if (run.row < 0 || run.row >= kCommandCount)
        return "";
    const CommandId id = kCommands[run.row].id;
    switch (id) {
    case CommandId::SelectPoints: case CommandId::DeselectPoints:
    case CommandId::DeselectEdgesAndFaces: case CommandId::SelectNeighbours:
    case CommandId::SelectConnected: case CommandId::SelectEdgesOfPoints:
        return SelectionExplanation(id, before);
    case CommandId::AlignPoints:
        return AlignExplanation(before);
    case CommandId::FoldBackRim:
        return FoldExplanation(before);
    case CommandId::ArrangeOnLine:
        return ArrangeExplanation(before, run.dialog);
    case CommandId::Bulge:
        return BulgeExplanation(before);
    case CommandId::RestorePoints:
        return RestoreExplanation(before, run);
    case CommandId::SplitEdges:
        return SplitExplanation(before);
    case CommandId::RotateByView:
        return CountPicked(before) == 0 ? NoPickedVertex(before)
                                        : "the view's turn leaves the selected vertices where "
                                          "they are";
    case CommandId::CutGroove: case CommandId::Bevel:
        return EdgeExplanation(before, id);
    case CommandId::CopyUV:
        return UvCopyExplanation(before);
    case CommandId::ReloadTextures:
        return "no material has a texture, alpha or bump map";
    case CommandId::MeasureAngle:
        return run.messages.empty()
                   ? "no face of three or more points and no line is selected" + SkippedHint(before)
                   : "";
    default:
        return "";
    }
}

}  // namespace

std::string ExplainCommandRun(const host::Document& before, const CommandRun& run)
{
    const std::string name = CommandName(run.row);
    if (run.row == RowOf(CommandId::SavePoints)) {
        const std::string path = IdxPath(run.systemFolder);
        if (run.result == 0)
            return name + ": could not write " + path;
        const int count = CountPicked(before);
        return name + ": wrote " + std::to_string(count) + (count == 1 ? " point to " : " points to ") +
               path + (count == 0 ? " (no selected vertex is used by a face)" : "");
    }
    if (run.changed && run.result != 0)
        return "";
    const std::string why = NoOpExplanation(before, run);
    return why.empty() ? "" : name + ": " + why;
}

std::string LargeFaceNote(const host::Document& doc)
{
    std::size_t count = 0;
    ForObjects(doc, [&](int, const Object& obj) {
        for (const Face& face : obj.faces)
            count += face.points.size() > 4 ? 1 : 0;
    });
    if (count == 0)
        return "";
    return std::to_string(count) + (count == 1 ? " face has" : " faces have") +
           " more than four points: every command skips " + (count == 1 ? "it" : "them");
}

}  // namespace host
