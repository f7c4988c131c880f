// The 122 host functions a plug-in binds by name, exported with C linkage.
// Handles are the model's own pointers: Document*, Object*, Material* and
// Scene* cast to void*. Every index is checked against the sizes it reads,
// so a bad index or a null handle gives a null handle, 0 (-1 where 0 is a
// valid index) or no effect. Every call is O(1) apart from copying a face's
// points or UVs and the whole-document operations (ClearSelect, Compact).
//
// The 35 functions the plug-in calls append themselves to the call trace
// with their integer arguments after the handle.
//
// No exception leaves a host function: one that allocates catches what it
// throws and returns its failure value (null, -1 or 0), or does nothing,
// with the document as it was (the edits of document.cpp are all or nothing).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/library/document.h"
#include "host/library/trace_flag.h"
#include "platform/calling_convention.h"

// On Windows the host is an executable that exports these names itself, as
// the real host does; elsewhere a shared library with default visibility.
// Each is defined with the C convention named, as plug-ins call them.
#if defined(_WIN32)
#define HOST_EXPORT extern "C" __declspec(dllexport)
#else
#define HOST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The recording itself is out of line, so that a call while nothing is
// recorded costs a test and no more (no list built, no registers saved).
// A record that finds no memory is lost, never the call.
template <typename... Args>
[[gnu::noinline, gnu::cold]] static void TraceOutOfLine(const char* name, Args... args) noexcept
{
    try {
        host::TraceCall(name, {static_cast<long long>(args)...});
    } catch (...) {
    }
}

#define TRACE(...)                                                                                 \
    do {                                                                                           \
        if (host::traceRecording)                                                                  \
            TraceOutOfLine(__VA_ARGS__);                                                           \
    } while (0)

using host::Document;
using host::Face;
using host::Material;
using host::Object;
using host::Scene;
using host::UV;
using host::Vec3;

static_assert(sizeof(Vec3) == 12, "a position is three floats, as the plug-in passes it");
static_assert(sizeof(UV) == 8, "a UV is two floats, as the plug-in passes it");

// --- Checked access -------------------------------------------------------------

static bool IndexIn(int index, std::size_t size)
{
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

static Document* AsDocument(void* doc) { return static_cast<Document*>(doc); }
static Object* AsObject(void* obj) { return static_cast<Object*>(obj); }
static Material* AsMaterial(void* mat) { return static_cast<Material*>(mat); }

// host::GetObject, written out here: every selection call goes through it,
// and a call into the library's exported C++ interface cannot be inlined.
static Object* ObjectAt(void* doc, int objectIndex)
{
    if (!doc)
        return nullptr;
    const auto& objects = AsDocument(doc)->objects;
    return objectIndex >= 0 && static_cast<std::size_t>(objectIndex) < objects.size()
               ? objects[static_cast<std::size_t>(objectIndex)].get()
               : nullptr;
}

static Face* FaceAt(void* obj, int faceIndex)
{
    Object* o = AsObject(obj);
    if (!o || !IndexIn(faceIndex, o->faces.size()))
        return nullptr;
    return &o->faces[faceIndex];
}

// A face that exists and is not an empty slot.
static Face* UsedFaceAt(void* obj, int faceIndex)
{
    Face* f = FaceAt(obj, faceIndex);
    return (f && !f->points.empty()) ? f : nullptr;
}

static int FacePointCount(const Face& f) { return static_cast<int>(f.points.size()); }

// The name of a null object or material: read in place, never copied.
static const std::string kNoName;

// Writes `text` cut to size-1 bytes plus the closing NUL; never more than
// `size` bytes, nothing at all for a null buffer or a size below 1.
static void CopyName(const std::string& text, char* buffer, int size)
{
    if (!buffer || size < 1)
        return;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// A map file name set by the plug-in: the host reads a named file anew on
// every set, even to the name it already has.
// Sets one map name of a material; a name that cannot be stored leaves the
// old one, so nothing escapes the C interface.
static void SetMapName(void* mat, std::string Material::*name, int Material::*loads,
                       const char* newName)
{
    if (!mat)
        return;
    Material* material = AsMaterial(mat);
    try {
        material->*name = newName ? newName : "";
    } catch (...) {
        return;
    }
    if (!(material->*name).empty())
        ++(material->*loads);
}

// Objects and materials made by MQ_CreateObject/MQ_CreateMaterial or
// MQObj_Clone belong to the host until a document takes them; only these
// can be freed by MQObj_Delete/MQMat_Delete.
template <typename T>
static std::vector<std::unique_ptr<T>>& Detached()
{
    static std::vector<std::unique_ptr<T>> items;
    return items;
}

template <typename T>
static void* KeepDetached(std::unique_ptr<T> item)
{
    T* raw = item.get();
    Detached<T>().push_back(std::move(item));
    return raw;
}

// Hands a detached item over to the caller; null when `item` is not detached.
template <typename T>
static std::unique_ptr<T> TakeDetached(void* item)
{
    auto& items = Detached<T>();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == item) {
            std::unique_ptr<T> taken = std::move(items[i]);
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            return taken;
        }
    }
    return nullptr;
}

// --- Host-wide ------------------------------------------------------------------

HOST_EXPORT void* KIVERA_CDECL MQ_GetWindowHandle(void)
{
    TRACE("MQ_GetWindowHandle");
    return host::MainWindow();
}

HOST_EXPORT void* KIVERA_CDECL MQ_CreateObject(void)
try {
    return KeepDetached(std::make_unique<Object>());
} catch (...) {
    return nullptr;
}

HOST_EXPORT void* KIVERA_CDECL MQ_CreateMaterial(void)
try {
    return KeepDetached(std::make_unique<Material>());
} catch (...) {
    return nullptr;
}

// There is no window to show a dialog in: the user always cancels.
HOST_EXPORT int KIVERA_CDECL MQ_ShowFileDialog(const char* /*title*/, void* /*info*/) { return 0; }

// Axis conversion of imported and exported files: the stand-in's files use
// its own axes, so there is nothing to convert.
HOST_EXPORT void KIVERA_CDECL MQ_ImportAxis(void* /*info*/, float* /*positions*/, int /*count*/) {}
HOST_EXPORT void KIVERA_CDECL MQ_ExportAxis(void* /*info*/, float* /*positions*/, int /*count*/) {}

// The stand-in host reads no images.
HOST_EXPORT int KIVERA_CDECL MQ_LoadImage(const char* /*fileName*/, void** header, void** pixels,
                                          unsigned int /*flags*/)
{
    if (header)
        *header = nullptr;
    if (pixels)
        *pixels = nullptr;
    return 0;
}

// The host's own folder for plug-in files is type 5; the buffer holds 128
// bytes, and a folder that does not fit is refused rather than cut.
HOST_EXPORT int KIVERA_CDECL MQ_GetSystemPath(char* buffer, int type)
{
    TRACE("MQ_GetSystemPath", type);
    constexpr std::size_t kBufferSize = 128;
    if (!buffer)
        return 0;
    buffer[0] = '\0';
    const std::string& folder = host::SystemPath();
    if (type != 5 || folder.size() + 1 > kBufferSize)
        return 0;
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return 1;
}

HOST_EXPORT void KIVERA_CDECL MQ_RefreshView(void* /*info*/) {}

// --- Document: objects ------------------------------------------------------------

HOST_EXPORT int KIVERA_CDECL MQDoc_GetObjectCount(void* doc)
{
    TRACE("MQDoc_GetObjectCount");
    return doc ? static_cast<int>(AsDocument(doc)->objects.size()) : 0;
}

HOST_EXPORT void* KIVERA_CDECL MQDoc_GetObject(void* doc, int objectIndex)
{
    TRACE("MQDoc_GetObject", objectIndex);
    return ObjectAt(doc, objectIndex);
}

HOST_EXPORT int KIVERA_CDECL MQDoc_GetCurrentObjectIndex(void* doc)
{
    TRACE("MQDoc_GetCurrentObjectIndex");
    return doc ? AsDocument(doc)->currentObject : 0;
}

HOST_EXPORT void KIVERA_CDECL MQDoc_SetCurrentObjectIndex(void* doc, int objectIndex)
{
    if (doc && IndexIn(objectIndex, AsDocument(doc)->objects.size()))
        AsDocument(doc)->currentObject = objectIndex;
}

// Moves a detached item into a document's list; its index, or -1 when the
// item is not a detached one. Room first: the item leaves the detached list
// only when it can go in.
template <typename T>
static int AddDetached(std::vector<std::unique_ptr<T>>& list, void* item)
{
    list.reserve(list.size() + 1);
    std::unique_ptr<T> taken = TakeDetached<T>(item);
    if (!taken)
        return -1;
    list.push_back(std::move(taken));
    return static_cast<int>(list.size()) - 1;
}

// Takes an object made by MQ_CreateObject or MQObj_Clone; returns its
// index, or -1 for anything else (an object already in a document, null).
HOST_EXPORT int KIVERA_CDECL MQDoc_AddObject(void* doc, void* obj)
try {
    return doc ? AddDetached(AsDocument(doc)->objects, obj) : -1;
} catch (...) {
    return -1;
}

// Empties the slot; the other objects keep their indices.
HOST_EXPORT int KIVERA_CDECL MQDoc_DeleteObject(void* doc, int objectIndex)
{
    if (!ObjectAt(doc, objectIndex))
        return 0;
    AsDocument(doc)->objects[objectIndex].reset();
    return 1;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_GetObjectIndex(void* doc, void* obj)
{
    if (!doc || !obj)
        return -1;
    const Document* d = AsDocument(doc);
    for (std::size_t i = 0; i < d->objects.size(); ++i) {
        if (d->objects[i].get() == obj)
            return static_cast<int>(i);
    }
    return -1;
}

// --- Document: materials ------------------------------------------------------------

HOST_EXPORT int KIVERA_CDECL MQDoc_GetMaterialCount(void* doc)
{
    TRACE("MQDoc_GetMaterialCount");
    return doc ? static_cast<int>(AsDocument(doc)->materials.size()) : 0;
}

HOST_EXPORT void* KIVERA_CDECL MQDoc_GetMaterial(void* doc, int materialIndex)
{
    TRACE("MQDoc_GetMaterial", materialIndex);
    return doc ? host::GetMaterial(*AsDocument(doc), materialIndex) : nullptr;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_GetCurrentMaterialIndex(void* doc)
{
    return doc ? AsDocument(doc)->currentMaterial : 0;
}

HOST_EXPORT void KIVERA_CDECL MQDoc_SetCurrentMaterialIndex(void* doc, int materialIndex)
{
    if (doc && IndexIn(materialIndex, AsDocument(doc)->materials.size()))
        AsDocument(doc)->currentMaterial = materialIndex;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_AddMaterial(void* doc, void* mat)
try {
    return doc ? AddDetached(AsDocument(doc)->materials, mat) : -1;
} catch (...) {
    return -1;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_DeleteMaterial(void* doc, int materialIndex)
{
    if (!doc || !host::GetMaterial(*AsDocument(doc), materialIndex))
        return 0;
    AsDocument(doc)->materials[materialIndex].reset();
    return 1;
}

HOST_EXPORT void KIVERA_CDECL MQDoc_Compact(void* doc)
try {
    if (doc)
        host::CompactDocument(*AsDocument(doc));
} catch (...) {
}

// --- Document: selection ---------------------------------------------------------------

// Flags 1 = vertices, 2 = lines, 4 = faces, or-ed; over every object.
HOST_EXPORT int KIVERA_CDECL MQDoc_ClearSelect(void* doc, unsigned int flags)
{
    TRACE("MQDoc_ClearSelect", static_cast<long long>(flags));
    if (!doc)
        return 0;
    for (auto& obj : AsDocument(doc)->objects) {
        if (!obj)
            continue;
        if (flags & 1u)
            obj->vertexSelected.assign(obj->vertexSelected.size(), 0);
        for (Face& f : obj->faces) {
            if (flags & 2u)
                f.lineSelected.assign(f.lineSelected.size(), 0);
            if (flags & 4u)
                f.selected = false;
        }
    }
    return 1;
}

static unsigned char* VertexFlag(void* doc, int objectIndex, int vertexIndex)
{
    Object* o = ObjectAt(doc, objectIndex);
    if (!o || !IndexIn(vertexIndex, o->vertices.size()))
        return nullptr;
    if (o->vertexSelected.size() < o->vertices.size())
        o->vertexSelected.resize(o->vertices.size(), 0);
    return &o->vertexSelected[vertexIndex];
}

static unsigned char* LineFlag(void* doc, int objectIndex, int faceIndex, int lineIndex)
{
    Face* f = FaceAt(ObjectAt(doc, objectIndex), faceIndex);
    if (!f || !IndexIn(lineIndex, f->points.size()))
        return nullptr;
    if (f->lineSelected.size() < f->points.size())
        f->lineSelected.resize(f->points.size(), 0);
    return &f->lineSelected[lineIndex];
}

// The selection flags as the queries read them: a flag the arrays do not
// hold yet is clear, so a query never grows them (and stays a plain read).
static bool VertexFlagSet(void* doc, int objectIndex, int vertexIndex)
{
    const Object* o = ObjectAt(doc, objectIndex);
    return o && IndexIn(vertexIndex, o->vertices.size()) &&
           IndexIn(vertexIndex, o->vertexSelected.size()) && o->vertexSelected[vertexIndex] != 0;
}

static bool LineFlagSet(void* doc, int objectIndex, int faceIndex, int lineIndex)
{
    const Face* f = FaceAt(ObjectAt(doc, objectIndex), faceIndex);
    return f && IndexIn(lineIndex, f->points.size()) &&
           IndexIn(lineIndex, f->lineSelected.size()) && f->lineSelected[lineIndex] != 0;
}

static Face* SelectableFace(void* doc, int objectIndex, int faceIndex)
{
    return UsedFaceAt(ObjectAt(doc, objectIndex), faceIndex);
}

HOST_EXPORT int KIVERA_CDECL MQDoc_AddSelectVertex(void* doc, int objectIndex, int vertexIndex)
try {
    TRACE("MQDoc_AddSelectVertex", objectIndex, vertexIndex);
    unsigned char* flag = VertexFlag(doc, objectIndex, vertexIndex);
    if (!flag)
        return 0;
    *flag = 1;
    return 1;
} catch (...) {
    return 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_DeleteSelectVertex(void* doc, int objectIndex, int vertexIndex)
try {
    unsigned char* flag = VertexFlag(doc, objectIndex, vertexIndex);
    if (!flag)
        return 0;
    *flag = 0;
    return 1;
} catch (...) {
    return 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_IsSelectVertex(void* doc, int objectIndex, int vertexIndex)
{
    TRACE("MQDoc_IsSelectVertex", objectIndex, vertexIndex);
    return VertexFlagSet(doc, objectIndex, vertexIndex) ? 1 : 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_AddSelectLine(void* doc, int objectIndex, int faceIndex,
                                                 int lineIndex)
try {
    TRACE("MQDoc_AddSelectLine", objectIndex, faceIndex, lineIndex);
    unsigned char* flag = LineFlag(doc, objectIndex, faceIndex, lineIndex);
    if (!flag)
        return 0;
    *flag = 1;
    return 1;
} catch (...) {
    return 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_DeleteSelectLine(void* doc, int objectIndex, int faceIndex,
                                                    int lineIndex)
try {
    unsigned char* flag = LineFlag(doc, objectIndex, faceIndex, lineIndex);
    if (!flag)
        return 0;
    *flag = 0;
    return 1;
} catch (...) {
    return 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_IsSelectLine(void* doc, int objectIndex, int faceIndex,
                                                int lineIndex)
{
    TRACE("MQDoc_IsSelectLine", objectIndex, faceIndex, lineIndex);
    return LineFlagSet(doc, objectIndex, faceIndex, lineIndex) ? 1 : 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_AddSelectFace(void* doc, int objectIndex, int faceIndex)
{
    TRACE("MQDoc_AddSelectFace", objectIndex, faceIndex);
    Face* f = SelectableFace(doc, objectIndex, faceIndex);
    if (!f)
        return 0;
    f->selected = true;
    return 1;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_DeleteSelectFace(void* doc, int objectIndex, int faceIndex)
{
    Face* f = SelectableFace(doc, objectIndex, faceIndex);
    if (!f)
        return 0;
    f->selected = false;
    return 1;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_IsSelectFace(void* doc, int objectIndex, int faceIndex)
{
    TRACE("MQDoc_IsSelectFace", objectIndex, faceIndex);
    const Face* f = SelectableFace(doc, objectIndex, faceIndex);
    return (f && f->selected) ? 1 : 0;
}

// The stand-in host has no UV editor, so no UV vertex is ever selected.
HOST_EXPORT int KIVERA_CDECL MQDoc_AddSelectUVVertex(void* /*doc*/, int /*objectIndex*/,
                                                     int /*faceIndex*/, int /*pointIndex*/)
{
    return 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_DeleteSelectUVVertex(void* /*doc*/, int /*objectIndex*/,
                                                        int /*faceIndex*/, int /*pointIndex*/)
{
    return 0;
}

HOST_EXPORT int KIVERA_CDECL MQDoc_IsSelectUVVertex(void* /*doc*/, int /*objectIndex*/,
                                                    int /*faceIndex*/, int /*pointIndex*/)
{
    return 0;
}

// Looking up map files beside a document needs a document file; the
// stand-in has none, so nothing is found.
HOST_EXPORT int KIVERA_CDECL MQDoc_FindMappingFile(void* /*doc*/, char* buffer, int size,
                                                   const char* /*fileName*/)
{
    CopyName(kNoName, buffer, size);
    return 0;
}

// --- Scene -----------------------------------------------------------------------------

HOST_EXPORT void* KIVERA_CDECL MQDoc_GetScene(void* doc, int sceneIndex)
{
    TRACE("MQDoc_GetScene", sceneIndex);
    if (!doc || sceneIndex != 0)
        return nullptr;
    return &AsDocument(doc)->scene;
}

HOST_EXPORT void KIVERA_CDECL MQScene_InitSize(void* /*scene*/, int /*width*/, int /*height*/) {}

HOST_EXPORT void KIVERA_CDECL MQScene_GetProjMatrix(void* scene, float* matrix)
{
    if (scene && matrix)
        std::memcpy(matrix, static_cast<Scene*>(scene)->projection, sizeof(float) * 16);
}

HOST_EXPORT void KIVERA_CDECL MQScene_GetViewMatrix(void* scene, float* matrix)
{
    TRACE("MQScene_GetViewMatrix");
    if (scene && matrix)
        std::memcpy(matrix, static_cast<Scene*>(scene)->view, sizeof(float) * 16);
}

// --- Object: whole object -------------------------------------------------------------------

// Frees only an object that no document holds (see Detached).
HOST_EXPORT void KIVERA_CDECL MQObj_Delete(void* obj) { TakeDetached<Object>(obj).reset(); }

HOST_EXPORT void* KIVERA_CDECL MQObj_Clone(void* obj)
try {
    if (!obj)
        return nullptr;
    return KeepDetached(std::make_unique<Object>(*AsObject(obj)));
} catch (...) {
    return nullptr;
}

HOST_EXPORT void KIVERA_CDECL MQObj_Merge(void* dest, void* source)
try {
    if (dest && source)
        host::MergeObject(*AsObject(dest), *AsObject(source));
} catch (...) {
}

// The stand-in host applies no mirror, lathe or patch to the geometry it
// holds, so there is nothing to freeze.
#ifndef KIVERA_HOST_OMIT_FREEZE
HOST_EXPORT void KIVERA_CDECL MQObj_Freeze(void* /*obj*/, unsigned int /*flags*/) {}
#endif

HOST_EXPORT void KIVERA_CDECL MQObj_GetName(void* obj, char* buffer, int size)
{
    CopyName(obj ? AsObject(obj)->name : kNoName, buffer, size);
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetName(void* obj, const char* name)
try {
    if (obj)
        AsObject(obj)->name = name ? name : "";
} catch (...) {
}

HOST_EXPORT void KIVERA_CDECL MQObj_Compact(void* obj)
try {
    if (obj)
        host::CompactObject(*AsObject(obj));
} catch (...) {
}

// Merging nearby vertices is not offered by the stand-in host.
HOST_EXPORT int KIVERA_CDECL MQObj_OptimizeVertex(void* /*obj*/, float /*distance*/) { return 0; }

// --- Object: vertices ---------------------------------------------------------------------

HOST_EXPORT int KIVERA_CDECL MQObj_GetVertexCount(void* obj)
{
    TRACE("MQObj_GetVertexCount");
    return obj ? static_cast<int>(AsObject(obj)->vertices.size()) : 0;
}

HOST_EXPORT void KIVERA_CDECL MQObj_GetVertex(void* obj, int vertexIndex, Vec3* position)
{
    TRACE("MQObj_GetVertex", vertexIndex);
    if (!obj || !position || !IndexIn(vertexIndex, AsObject(obj)->vertices.size()))
        return;
    *position = AsObject(obj)->vertices[vertexIndex];
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetVertex(void* obj, int vertexIndex, const Vec3* position)
{
    TRACE("MQObj_SetVertex", vertexIndex);
    if (!obj || !position || !IndexIn(vertexIndex, AsObject(obj)->vertices.size()))
        return;
    AsObject(obj)->vertices[vertexIndex] = *position;
}

HOST_EXPORT void KIVERA_CDECL MQObj_GetVertexArray(void* obj, Vec3* positions)
{
    TRACE("MQObj_GetVertexArray");
    if (!obj || !positions)
        return;
    AsObject(obj)->vertices.CopyTo(positions);
}

HOST_EXPORT int KIVERA_CDECL MQObj_GetVertexRefCount(void* obj, int vertexIndex)
{
    TRACE("MQObj_GetVertexRefCount", vertexIndex);
    if (!obj)
        return 0;
    const Object* o = AsObject(obj);
    if (!IndexIn(vertexIndex, o->vertices.size()) || !IndexIn(vertexIndex, o->refCount.size()))
        return 0;
    return o->refCount[vertexIndex];
}

HOST_EXPORT int KIVERA_CDECL MQObj_AddVertex(void* obj, const Vec3* position)
try {
    TRACE("MQObj_AddVertex");
    if (!obj || !position)
        return -1;
    return host::AddVertex(*AsObject(obj), *position);
} catch (...) {
    return -1;
}

// Removes a vertex that no face uses; the vertices after it move down one.
HOST_EXPORT int KIVERA_CDECL MQObj_DeleteVertex(void* obj, int vertexIndex)
try {
    return (obj && host::DeleteVertex(*AsObject(obj), vertexIndex)) ? 1 : 0;
} catch (...) {
    return 0;
}

// Vertex colours and weights are not kept: white and full weight.
HOST_EXPORT unsigned int KIVERA_CDECL MQObj_GetVertexColor(void* /*obj*/, int /*vertexIndex*/)
{
    return 0xffffffffu;
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetVertexColor(void* /*obj*/, int /*vertexIndex*/,
                                                   unsigned int /*color*/)
{
}

HOST_EXPORT float KIVERA_CDECL MQObj_GetVertexWeight(void* /*obj*/, int /*vertexIndex*/)
{
    return 1.0f;
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetVertexWeight(void* /*obj*/, int /*vertexIndex*/,
                                                    float /*weight*/)
{
}

HOST_EXPORT void KIVERA_CDECL MQObj_CopyVertexAttribute(void* /*obj*/, int /*vertexIndex*/,
                                                        void* /*source*/, int /*sourceIndex*/)
{
}

// --- Object: faces ------------------------------------------------------------------------

HOST_EXPORT int KIVERA_CDECL MQObj_GetFaceCount(void* obj)
{
    TRACE("MQObj_GetFaceCount");
    return obj ? static_cast<int>(AsObject(obj)->faces.size()) : 0;
}

HOST_EXPORT int KIVERA_CDECL MQObj_GetFacePointCount(void* obj, int faceIndex)
{
    TRACE("MQObj_GetFacePointCount", faceIndex);
    const Face* f = FaceAt(obj, faceIndex);
    return f ? FacePointCount(*f) : 0;
}

// Writes exactly the face's point count of ints (none for an empty slot).
HOST_EXPORT void KIVERA_CDECL MQObj_GetFacePointArray(void* obj, int faceIndex, int* points)
{
    TRACE("MQObj_GetFacePointArray", faceIndex);
    const Face* f = UsedFaceAt(obj, faceIndex);
    if (!f || !points)
        return;
    std::memcpy(points, f->points.data(), f->points.size() * sizeof(int));
}

HOST_EXPORT int KIVERA_CDECL MQObj_AddFace(void* obj, int pointCount, const int* points)
try {
    TRACE("MQObj_AddFace", pointCount);
    if (!obj || pointCount < 1 || !points)
        return -1;
    return host::AddFace(*AsObject(obj), points, pointCount, -1);
} catch (...) {
    return -1;
}

// Empties the slot whatever `deleteVertex` says: vertices that no face uses
// any more stay where they are with a reference count of 0, so that every
// vertex index a caller holds stays valid.
HOST_EXPORT int KIVERA_CDECL MQObj_DeleteFace(void* obj, int faceIndex, int deleteVertex)
{
    TRACE("MQObj_DeleteFace", faceIndex, deleteVertex);
    return (obj && host::DeleteFace(*AsObject(obj), faceIndex)) ? 1 : 0;
}

HOST_EXPORT void KIVERA_CDECL MQObj_InvertFace(void* obj, int faceIndex)
try {
    if (obj)
        host::InvertFace(*AsObject(obj), faceIndex);
} catch (...) {
}

HOST_EXPORT int KIVERA_CDECL MQObj_GetFaceMaterial(void* obj, int faceIndex)
{
    const Face* f = UsedFaceAt(obj, faceIndex);
    return f ? f->material : -1;
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetFaceMaterial(void* obj, int faceIndex, int materialIndex)
{
    Face* f = UsedFaceAt(obj, faceIndex);
    if (f)
        f->material = materialIndex < 0 ? -1 : materialIndex;
}

HOST_EXPORT void KIVERA_CDECL MQObj_GetFaceCoordinateArray(void* obj, int faceIndex, UV* uv)
{
    TRACE("MQObj_GetFaceCoordinateArray", faceIndex);
    const Face* f = UsedFaceAt(obj, faceIndex);
    if (!f || !uv)
        return;
    for (std::size_t i = 0; i < f->points.size(); ++i)
        uv[i] = i < f->uv.size() ? f->uv[i] : UV{0.0f, 0.0f};
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetFaceCoordinateArray(void* obj, int faceIndex, const UV* uv)
try {
    TRACE("MQObj_SetFaceCoordinateArray", faceIndex);
    Face* f = UsedFaceAt(obj, faceIndex);
    if (!f || !uv)
        return;
    // Built aside: a face of more than four points keeps its UVs when the
    // room for the new ones cannot be had.
    host::FaceArray<UV> values;
    values.assign(uv, uv + f->points.size());
    f->uv = std::move(values);
} catch (...) {
}

HOST_EXPORT unsigned int KIVERA_CDECL MQObj_GetFaceVertexColor(void* /*obj*/, int /*faceIndex*/,
                                                               int /*pointIndex*/)
{
    return 0xffffffffu;
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetFaceVertexColor(void* /*obj*/, int /*faceIndex*/,
                                                       int /*pointIndex*/, unsigned int /*color*/)
{
}

// --- Object: display settings -------------------------------------------------------------

#define HOST_OBJECT_SETTING(Name, field, Type)                                                     \
    HOST_EXPORT Type KIVERA_CDECL MQObj_Get##Name(void* obj)                                       \
    {                                                                                              \
        return obj ? AsObject(obj)->field : Type();                                                \
    }                                                                                              \
    HOST_EXPORT void KIVERA_CDECL MQObj_Set##Name(void* obj, Type value)                           \
    {                                                                                              \
        if (obj)                                                                                   \
            AsObject(obj)->field = value;                                                          \
    }

HOST_OBJECT_SETTING(PatchType, patchType, int)
HOST_OBJECT_SETTING(PatchSegment, patchSegment, int)
HOST_OBJECT_SETTING(Shading, shading, int)
HOST_OBJECT_SETTING(SmoothAngle, smoothAngle, float)
HOST_OBJECT_SETTING(MirrorType, mirrorType, int)
HOST_OBJECT_SETTING(MirrorAxis, mirrorAxis, int)
HOST_OBJECT_SETTING(MirrorDistance, mirrorDistance, float)
HOST_OBJECT_SETTING(LatheType, latheType, int)
HOST_OBJECT_SETTING(LatheAxis, latheAxis, int)
HOST_OBJECT_SETTING(LatheSegment, latheSegment, int)

#undef HOST_OBJECT_SETTING

HOST_EXPORT int KIVERA_CDECL MQObj_GetVisible(void* obj)
{
    return (obj && AsObject(obj)->visible) ? 1 : 0;
}

HOST_EXPORT void KIVERA_CDECL MQObj_SetVisible(void* obj, int visible)
{
    if (obj)
        AsObject(obj)->visible = visible != 0;
}

// --- Material -----------------------------------------------------------------------------

// Frees only a material that no document holds (see Detached).
HOST_EXPORT void KIVERA_CDECL MQMat_Delete(void* mat) { TakeDetached<Material>(mat).reset(); }

// Extended material values are not kept: 0, nothing read or written.
HOST_EXPORT int KIVERA_CDECL MQMat_GetIntValue(void* /*mat*/, int /*type*/) { return 0; }
HOST_EXPORT void KIVERA_CDECL MQMat_SetIntValue(void* /*mat*/, int /*type*/, int /*value*/) {}
HOST_EXPORT void KIVERA_CDECL MQMat_GetFloatArray(void* /*mat*/, int /*type*/, float* /*values*/) {}
HOST_EXPORT void KIVERA_CDECL MQMat_SetFloatArray(void* /*mat*/, int /*type*/,
                                                  const float* /*values*/)
{
}

HOST_EXPORT void KIVERA_CDECL MQMat_GetName(void* mat, char* buffer, int size)
{
    CopyName(mat ? AsMaterial(mat)->name : kNoName, buffer, size);
}

HOST_EXPORT void KIVERA_CDECL MQMat_SetName(void* mat, const char* name)
try {
    if (mat)
        AsMaterial(mat)->name = name ? name : "";
} catch (...) {
}

// The colour is three floats, red, green, blue.
HOST_EXPORT void KIVERA_CDECL MQMat_GetColor(void* mat, float* rgb)
{
    if (mat && rgb)
        std::memcpy(rgb, AsMaterial(mat)->color, sizeof(float) * 3);
}

HOST_EXPORT void KIVERA_CDECL MQMat_SetColor(void* mat, const float* rgb)
{
    if (mat && rgb)
        std::memcpy(AsMaterial(mat)->color, rgb, sizeof(float) * 3);
}

#define HOST_MATERIAL_VALUE(Name, field)                                                           \
    HOST_EXPORT float KIVERA_CDECL MQMat_Get##Name(void* mat)                                      \
    {                                                                                              \
        return mat ? AsMaterial(mat)->field : 0.0f;                                                \
    }                                                                                              \
    HOST_EXPORT void KIVERA_CDECL MQMat_Set##Name(void* mat, float value)                          \
    {                                                                                              \
        if (mat)                                                                                   \
            AsMaterial(mat)->field = value;                                                        \
    }

HOST_MATERIAL_VALUE(Alpha, alphaValue)
HOST_MATERIAL_VALUE(Diffuse, diffuse)
HOST_MATERIAL_VALUE(Ambient, ambient)
HOST_MATERIAL_VALUE(Emission, emission)
HOST_MATERIAL_VALUE(Specular, specular)
HOST_MATERIAL_VALUE(Power, power)

#undef HOST_MATERIAL_VALUE

HOST_EXPORT void KIVERA_CDECL MQMat_GetTextureName(void* mat, char* buffer, int size)
{
    TRACE("MQMat_GetTextureName", size);
    CopyName(mat ? AsMaterial(mat)->texture : kNoName, buffer, size);
}

HOST_EXPORT void KIVERA_CDECL MQMat_GetAlphaName(void* mat, char* buffer, int size)
{
    TRACE("MQMat_GetAlphaName", size);
    CopyName(mat ? AsMaterial(mat)->alpha : kNoName, buffer, size);
}

HOST_EXPORT void KIVERA_CDECL MQMat_GetBumpName(void* mat, char* buffer, int size)
{
    TRACE("MQMat_GetBumpName", size);
    CopyName(mat ? AsMaterial(mat)->bump : kNoName, buffer, size);
}

HOST_EXPORT void KIVERA_CDECL MQMat_SetTextureName(void* mat, const char* name)
{
    TRACE("MQMat_SetTextureName");
    SetMapName(mat, &Material::texture, &Material::textureLoads, name);
}

HOST_EXPORT void KIVERA_CDECL MQMat_SetAlphaName(void* mat, const char* name)
{
    TRACE("MQMat_SetAlphaName");
    SetMapName(mat, &Material::alpha, &Material::alphaLoads, name);
}

HOST_EXPORT void KIVERA_CDECL MQMat_SetBumpName(void* mat, const char* name)
{
    TRACE("MQMat_SetBumpName");
    SetMapName(mat, &Material::bump, &Material::bumpLoads, name);
}
