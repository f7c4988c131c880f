// The stand-in host's document model: building, editing and the host-wide
// state. Reference counts and selection flags are updated here on every
// edit, so the exports only ever read them. An edit that runs out of memory
// throws and leaves the document as it was (a flag array may have grown
// towards the vertex count, which reads the same).
#include "host/library/document.h"

#include "host/library/trace_flag.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <cstdint>
#include <cstddef>
#include <utility>

namespace host {

static bool IndexIn(int index, std::size_t size)
{
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

static void SetIdentity(float* matrix)
{
    for (int i = 0; i < 16; ++i)
        matrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

Document::Document()
{
    SetIdentity(scene.view);
    SetIdentity(scene.projection);
}

// --- Building and editing -------------------------------------------------------

int AddObject(Document& doc, const std::string& name)
{
    auto obj = std::make_unique<Object>();
    obj->name = name;
    doc.objects.push_back(std::move(obj));
    return static_cast<int>(doc.objects.size()) - 1;
}

int AddEmptyObjectSlot(Document& doc)
{
    doc.objects.push_back(nullptr);
    return static_cast<int>(doc.objects.size()) - 1;
}

int AddMaterial(Document& doc, const std::string& name)
{
    auto mat = std::make_unique<Material>();
    mat->name = name;
    doc.materials.push_back(std::move(mat));
    return static_cast<int>(doc.materials.size()) - 1;
}

int AddEmptyMaterialSlot(Document& doc)
{
    doc.materials.push_back(nullptr);
    return static_cast<int>(doc.materials.size()) - 1;
}

// Drops the vertices and faces added after the object had `vertexCount`
// and `faceCount` of them, with the references they added: the undo of an
// edit that could not finish. Shrinking allocates nothing.
static void RollBack(Object& obj, std::size_t vertexCount, std::size_t faceCount) noexcept
{
    while (obj.faces.size() > faceCount) {
        for (int p : obj.faces.back().points)
            --obj.refCount[p];
        obj.faces.resize(obj.faces.size() - 1);
    }
    obj.vertices.resize(std::min(obj.vertices.size(), vertexCount));
    obj.refCount.resize(std::min(obj.refCount.size(), vertexCount));
    obj.vertexSelected.resize(std::min(obj.vertexSelected.size(), vertexCount));
}

int AddVertex(Object& obj, Vec3 position)
{
    const std::size_t count = obj.vertices.size();
    try {
        obj.vertices.push_back(position);
        obj.refCount.resize(obj.vertices.size(), 0);
        obj.vertexSelected.resize(obj.vertices.size(), 0);
    } catch (...) {
        RollBack(obj, count, obj.faces.size());
        throw;
    }
    return static_cast<int>(count);
}

int AddFace(Object& obj, const std::vector<int>& points, int material)
{
    return AddFace(obj, points.data(), static_cast<int>(points.size()), material);
}

int AddFace(Object& obj, const int* points, int count, int material)
{
    if (!points || count < 1)
        return -1;
    for (int k = 0; k < count; ++k) {
        if (!IndexIn(points[k], obj.vertices.size()))
            return -1;
    }
    // Vertices pushed straight into `vertices` get their counters here.
    obj.refCount.resize(obj.vertices.size(), 0);
    obj.vertexSelected.resize(obj.vertices.size(), 0);

    // Built aside and moved in (which cannot fail), so that the list never
    // holds a half-made face; faces never move once in the list.
    Face face;
    face.points.assign(points, points + count);
    face.uv.assign(static_cast<std::size_t>(count), UV{0.0f, 0.0f});
    face.material = material;
    face.lineSelected.assign(static_cast<std::size_t>(count), 0);
    obj.faces.push_back(std::move(face));
    for (int k = 0; k < count; ++k)
        ++obj.refCount[points[k]];
    return static_cast<int>(obj.faces.size()) - 1;
}

bool DeleteFace(Object& obj, int face)
{
    if (!IndexIn(face, obj.faces.size()) || obj.faces[face].points.empty())
        return false;
    Face& f = obj.faces[face];
    for (int p : f.points) {
        if (IndexIn(p, obj.refCount.size())) {
            assert(obj.refCount[p] > 0);
            --obj.refCount[p];
        }
    }
    // The slot stays so that every other face keeps its index; its selection
    // goes with it.
    f = Face();
    return true;
}

bool FaceHasUV(const Face& face)
{
    for (const UV& uv : face.uv) {
        std::uint32_t bits[2];
        std::memcpy(bits, &uv, sizeof bits);
        if (bits[0] != 0 || bits[1] != 0)
            return true;
    }
    return false;
}

Object* GetObject(Document& doc, int index)
{
    return IndexIn(index, doc.objects.size()) ? doc.objects[index].get() : nullptr;
}

const Object* GetObject(const Document& doc, int index)
{
    return IndexIn(index, doc.objects.size()) ? doc.objects[index].get() : nullptr;
}

Material* GetMaterial(Document& doc, int index)
{
    return IndexIn(index, doc.materials.size()) ? doc.materials[index].get() : nullptr;
}

void SelectVertex(Object& obj, int vertex, bool selected)
{
    if (!IndexIn(vertex, obj.vertices.size()))
        return;
    obj.vertexSelected.resize(obj.vertices.size(), 0);
    obj.vertexSelected[vertex] = selected ? 1 : 0;
}

void SelectLine(Object& obj, int face, int line, bool selected)
{
    if (!IndexIn(face, obj.faces.size()))
        return;
    Face& f = obj.faces[face];
    if (!IndexIn(line, f.points.size()))
        return;
    f.lineSelected.resize(f.points.size(), 0);
    f.lineSelected[line] = selected ? 1 : 0;
}

void SelectFace(Object& obj, int face, bool selected)
{
    if (!IndexIn(face, obj.faces.size()) || obj.faces[face].points.empty())
        return;
    obj.faces[face].selected = selected;
}

// --- More editing -------------------------------------------------------------

bool InvertFace(Object& obj, int face)
{
    if (!IndexIn(face, obj.faces.size()) || obj.faces[face].points.empty())
        return false;
    Face& f = obj.faces[face];
    const std::size_t n = f.points.size();
    f.uv.resize(n, UV{0.0f, 0.0f});
    f.lineSelected.resize(n, 0);
    // In place, no allocation: point and UV i become old n-1-i. New line i
    // joins old points n-1-i and n-2-i, i.e. old line n-2-i (mod n): the
    // first n-1 lines reverse, the closing line n-1 stays.
    std::reverse(f.points.begin(), f.points.end());
    std::reverse(f.uv.begin(), f.uv.end());
    std::reverse(f.lineSelected.begin(), f.lineSelected.begin() + (n - 1));
    return true;
}

// MergeObject's appending, given the copied vertices of its source.
static void AppendCopy(Object& dest, const ChunkedArray<Vec3>& vertices,
                       const ChunkedArray<unsigned char>& vertexSelected, const FaceList& faces,
                       std::size_t faceCount, int offset)
{
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        const int added = AddVertex(dest, vertices[v]);
        if (v < vertexSelected.size())
            dest.vertexSelected[added] = vertexSelected[v];
    }
    for (std::size_t i = 0; i < faceCount; ++i) {
        const Face& f = faces[i];
        if (f.points.empty()) {
            dest.faces.emplace_back();
            continue;
        }
        FaceArray<int> points = f.points;
        for (int& p : points)
            p += offset;
        const int added =
            AddFace(dest, points.data(), static_cast<int>(points.size()), f.material);
        if (added < 0)
            continue;   // a face that pointed outside its own vertex list
        Face& copy = dest.faces[added];
        for (std::size_t k = 0; k < copy.points.size(); ++k) {
            if (k < f.uv.size())
                copy.uv[k] = f.uv[k];
            if (k < f.lineSelected.size())
                copy.lineSelected[k] = f.lineSelected[k];
        }
        copy.selected = f.selected;
    }
}

void MergeObject(Object& dest, const Object& source)
{
    // Copy the vertices first: `source` may be `dest`. The faces need no
    // copy: they never move while `dest` grows, and only those there before
    // are read.
    const ChunkedArray<Vec3> vertices = source.vertices;
    const ChunkedArray<unsigned char> vertexSelected = source.vertexSelected;
    const std::size_t faceCount = source.faces.size();
    const int offset = static_cast<int>(dest.vertices.size());
    const std::size_t destFaces = dest.faces.size();
    try {
        AppendCopy(dest, vertices, vertexSelected, source.faces, faceCount, offset);
    } catch (...) {
        RollBack(dest, static_cast<std::size_t>(offset), destFaces);
        throw;
    }
}

void CompactObject(Object& obj)
{
    // Everything that allocates comes first; the faces then close up in
    // place, which cannot fail.
    std::vector<int> newIndex(obj.vertices.size(), -1);
    obj.refCount.resize(obj.vertices.size(), 0);
    obj.vertexSelected.resize(obj.vertices.size(), 0);
    std::size_t keptFaces = 0;
    for (std::size_t i = 0; i < obj.faces.size(); ++i) {
        if (obj.faces[i].points.empty())
            continue;
        if (i != keptFaces)
            obj.faces[keptFaces] = std::move(obj.faces[i]);
        ++keptFaces;
    }
    obj.faces.resize(keptFaces);

    int kept = 0;
    for (std::size_t v = 0; v < obj.vertices.size(); ++v) {
        if (obj.refCount[v] == 0)
            continue;
        newIndex[v] = kept;
        obj.vertices[kept] = obj.vertices[v];
        obj.refCount[kept] = obj.refCount[v];
        obj.vertexSelected[kept] = obj.vertexSelected[v];
        ++kept;
    }
    obj.vertices.resize(kept);
    obj.refCount.resize(kept);
    obj.vertexSelected.resize(kept);
    for (Face& f : obj.faces) {
        for (int& p : f.points) {
            assert(newIndex[p] >= 0);
            p = newIndex[p];
        }
    }
}

bool DeleteVertex(Object& obj, int vertex)
{
    if (!IndexIn(vertex, obj.vertices.size()))
        return false;
    obj.refCount.resize(obj.vertices.size(), 0);
    obj.vertexSelected.resize(obj.vertices.size(), 0);
    if (obj.refCount[vertex] != 0)
        return false;
    obj.vertices.erase(obj.vertices.begin() + vertex);
    obj.refCount.erase(obj.refCount.begin() + vertex);
    obj.vertexSelected.erase(obj.vertexSelected.begin() + vertex);
    for (Face& f : obj.faces) {
        for (int& p : f.points) {
            assert(p != vertex);
            if (p > vertex)
                --p;
        }
    }
    return true;
}

void CompactDocument(Document& doc)
{
    // The current object and material stay current under their new index.
    // Every list is sized before the first item moves.
    int currentObject = 0;
    std::vector<std::unique_ptr<Object>> objects;
    objects.reserve(doc.objects.size());
    std::vector<int> newIndex(doc.materials.size(), -1);
    std::vector<std::unique_ptr<Material>> materials;
    materials.reserve(doc.materials.size());
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        if (static_cast<int>(o) == doc.currentObject)
            currentObject = static_cast<int>(objects.size());
        objects.push_back(std::move(doc.objects[o]));
    }
    doc.objects = std::move(objects);
    doc.currentObject = currentObject;

    for (std::size_t m = 0; m < doc.materials.size(); ++m) {
        if (!doc.materials[m])
            continue;
        newIndex[m] = static_cast<int>(materials.size());
        materials.push_back(std::move(doc.materials[m]));
    }
    doc.materials = std::move(materials);
    for (auto& obj : doc.objects) {
        for (Face& f : obj->faces)
            f.material = IndexIn(f.material, newIndex.size()) ? newIndex[f.material] : -1;
    }

    doc.currentMaterial =
        IndexIn(doc.currentMaterial, newIndex.size()) && newIndex[doc.currentMaterial] >= 0
            ? newIndex[doc.currentMaterial]
            : 0;
}

// --- Host-wide state -----------------------------------------------------------

static std::string& SystemPathStorage()
{
    static std::string folder;
    return folder;
}

void SetSystemPath(const std::string& folder) { SystemPathStorage() = folder; }

const std::string& SystemPath() { return SystemPathStorage(); }

#if defined(_WIN32)
}  // namespace host

// Windows checks the owner of a dialog or message box: the Windows host
// program supplies a real top-level window.
extern "C" void* HostProgramMainWindow(void);

namespace host {

void* MainWindow() { return HostProgramMainWindow(); }
#else
void* MainWindow()
{
    static char window;
    return &window;
}
#endif

// --- Call trace ---------------------------------------------------------------

bool traceRecording = false;

static std::vector<Call>& TraceStorage()
{
    static std::vector<Call> calls;
    return calls;
}

void StartTrace()
{
    TraceStorage().clear();
    traceRecording = true;
}

std::vector<Call> StopTrace()
{
    traceRecording = false;
    std::vector<Call> calls;
    calls.swap(TraceStorage());
    return calls;
}

bool Tracing() { return traceRecording; }

void TraceCall(const char* name, std::initializer_list<long long> args)
{
    if (!traceRecording)
        return;
    TraceStorage().push_back(Call{name ? name : "", std::vector<long long>(args)});
}

Document CopyDocument(const Document& doc)
{
    Document copy;
    for (const auto& obj : doc.objects)
        copy.objects.push_back(obj ? std::make_unique<Object>(*obj) : nullptr);
    for (const auto& material : doc.materials)
        copy.materials.push_back(material ? std::make_unique<Material>(*material) : nullptr);
    copy.currentObject = doc.currentObject;
    copy.currentMaterial = doc.currentMaterial;
    copy.scene = doc.scene;
    return copy;
}

}  // namespace host
