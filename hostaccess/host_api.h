// The host binding: the table of the 122 host functions that MQInit looks up
// by name, and one thin forwarding function per host function that the
// commands call. Every forwarder passes its handle first and returns the
// host's result unchanged; the commands never touch the table themselves.
#pragma once

#include "geom/mesh_face.h"
#include "geom/point3.h"
#include "platform/calling_convention.h"

namespace kivera {

// Opaque host handles. The types are never defined: they only keep a document
// from being passed where an object is expected. Null means "none".
struct HostDocument;
struct HostObject;
struct HostMaterial;
struct HostScene;
using DocumentHandle = HostDocument*;
using ObjectHandle = HostObject*;
using MaterialHandle = HostMaterial*;
using SceneHandle = HostScene*;

// The binding list, in binding order.
#define KIVERA_HOST_FUNCTIONS(X)                                                                   \
    X(MQ_GetWindowHandle) X(MQ_CreateObject) X(MQ_CreateMaterial) X(MQ_ShowFileDialog)             \
    X(MQ_ImportAxis) X(MQ_ExportAxis) X(MQ_LoadImage) X(MQ_GetSystemPath) X(MQ_RefreshView)        \
    X(MQDoc_GetObjectCount) X(MQDoc_GetObject) X(MQDoc_GetCurrentObjectIndex)                      \
    X(MQDoc_SetCurrentObjectIndex) X(MQDoc_AddObject) X(MQDoc_DeleteObject)                        \
    X(MQDoc_GetObjectIndex) X(MQDoc_GetMaterialCount) X(MQDoc_GetMaterial)                         \
    X(MQDoc_GetCurrentMaterialIndex) X(MQDoc_SetCurrentMaterialIndex) X(MQDoc_AddMaterial)         \
    X(MQDoc_DeleteMaterial) X(MQDoc_Compact) X(MQDoc_ClearSelect) X(MQDoc_AddSelectVertex)         \
    X(MQDoc_DeleteSelectVertex) X(MQDoc_IsSelectVertex) X(MQDoc_AddSelectLine)                     \
    X(MQDoc_DeleteSelectLine) X(MQDoc_IsSelectLine) X(MQDoc_AddSelectFace)                         \
    X(MQDoc_DeleteSelectFace) X(MQDoc_IsSelectFace) X(MQDoc_AddSelectUVVertex)                     \
    X(MQDoc_DeleteSelectUVVertex) X(MQDoc_IsSelectUVVertex) X(MQDoc_FindMappingFile)               \
    X(MQDoc_GetScene) X(MQScene_InitSize) X(MQScene_GetProjMatrix) X(MQScene_GetViewMatrix)        \
    X(MQObj_Delete) X(MQObj_Clone) X(MQObj_Merge) X(MQObj_Freeze) X(MQObj_GetName)                 \
    X(MQObj_GetVertexCount) X(MQObj_GetVertex) X(MQObj_SetVertex) X(MQObj_GetVertexArray)          \
    X(MQObj_GetFaceCount) X(MQObj_GetFacePointCount) X(MQObj_GetFacePointArray)                    \
    X(MQObj_GetFaceCoordinateArray) X(MQObj_GetFaceMaterial) X(MQObj_SetName) X(MQObj_AddVertex)   \
    X(MQObj_DeleteVertex) X(MQObj_GetVertexRefCount) X(MQObj_GetVertexColor)                       \
    X(MQObj_SetVertexColor) X(MQObj_GetVertexWeight) X(MQObj_SetVertexWeight)                      \
    X(MQObj_CopyVertexAttribute) X(MQObj_AddFace) X(MQObj_DeleteFace) X(MQObj_InvertFace)          \
    X(MQObj_SetFaceMaterial) X(MQObj_SetFaceCoordinateArray) X(MQObj_GetFaceVertexColor)           \
    X(MQObj_SetFaceVertexColor) X(MQObj_OptimizeVertex) X(MQObj_Compact) X(MQObj_GetVisible)       \
    X(MQObj_SetVisible) X(MQObj_GetPatchType) X(MQObj_SetPatchType) X(MQObj_GetPatchSegment)       \
    X(MQObj_SetPatchSegment) X(MQObj_GetShading) X(MQObj_SetShading) X(MQObj_GetSmoothAngle)       \
    X(MQObj_SetSmoothAngle) X(MQObj_GetMirrorType) X(MQObj_SetMirrorType) X(MQObj_GetMirrorAxis)   \
    X(MQObj_SetMirrorAxis) X(MQObj_GetMirrorDistance) X(MQObj_SetMirrorDistance)                   \
    X(MQObj_GetLatheType) X(MQObj_SetLatheType) X(MQObj_GetLatheAxis) X(MQObj_SetLatheAxis)        \
    X(MQObj_GetLatheSegment) X(MQObj_SetLatheSegment) X(MQMat_Delete) X(MQMat_GetIntValue)         \
    X(MQMat_GetFloatArray) X(MQMat_GetName) X(MQMat_GetColor) X(MQMat_GetAlpha)                    \
    X(MQMat_GetDiffuse) X(MQMat_GetAmbient) X(MQMat_GetEmission) X(MQMat_GetSpecular)              \
    X(MQMat_GetPower) X(MQMat_GetTextureName) X(MQMat_GetAlphaName) X(MQMat_GetBumpName)           \
    X(MQMat_SetIntValue) X(MQMat_SetFloatArray) X(MQMat_SetName) X(MQMat_SetColor)                 \
    X(MQMat_SetAlpha) X(MQMat_SetDiffuse) X(MQMat_SetAmbient) X(MQMat_SetEmission)                 \
    X(MQMat_SetSpecular) X(MQMat_SetPower) X(MQMat_SetTextureName) X(MQMat_SetAlphaName)           \
    X(MQMat_SetBumpName)

enum HostFunctionIndex {
#define KIVERA_HOST_ENUM(name) kHost_##name,
    KIVERA_HOST_FUNCTIONS(KIVERA_HOST_ENUM)
#undef KIVERA_HOST_ENUM
    kHostFunctionCount
};
static_assert(kHostFunctionCount == 122, "the binding list has 122 names");

// A looked-up function of any signature (every host function has the C
// convention); cast to its HostSignature at the call.
using HostProc = void(KIVERA_CDECL*)(void);   // same as LibraryProc

// The signature of each host function the commands call, the one place that
// names it: C convention, the arguments of the host's C interface (handles
// are pointer-sized, Point3 and Point2 are plain floats). The other names of
// the binding list are only looked up, never called.
template <HostFunctionIndex>
struct HostSignature;
#define KIVERA_HOST_SIGNATURE(name, Result, ...)                                                   \
    template <>                                                                                    \
    struct HostSignature<kHost_##name> {                                                           \
        using Type = Result(KIVERA_CDECL*)(__VA_ARGS__);                                           \
    };
KIVERA_HOST_SIGNATURE(MQ_GetSystemPath, int, char* buffer, int type)
KIVERA_HOST_SIGNATURE(MQ_GetWindowHandle, void*, void)
KIVERA_HOST_SIGNATURE(MQDoc_GetObjectCount, int, DocumentHandle doc)
KIVERA_HOST_SIGNATURE(MQDoc_GetObject, ObjectHandle, DocumentHandle doc, int objectIndex)
KIVERA_HOST_SIGNATURE(MQDoc_GetCurrentObjectIndex, int, DocumentHandle doc)
KIVERA_HOST_SIGNATURE(MQDoc_GetMaterialCount, int, DocumentHandle doc)
KIVERA_HOST_SIGNATURE(MQDoc_GetMaterial, MaterialHandle, DocumentHandle doc, int materialIndex)
KIVERA_HOST_SIGNATURE(MQDoc_ClearSelect, int, DocumentHandle doc, unsigned int flags)
KIVERA_HOST_SIGNATURE(MQDoc_IsSelectVertex, int, DocumentHandle doc, int objectIndex,
                      int vertexIndex)
KIVERA_HOST_SIGNATURE(MQDoc_IsSelectLine, int, DocumentHandle doc, int objectIndex, int faceIndex,
                      int lineIndex)
KIVERA_HOST_SIGNATURE(MQDoc_IsSelectFace, int, DocumentHandle doc, int objectIndex, int faceIndex)
KIVERA_HOST_SIGNATURE(MQDoc_AddSelectVertex, int, DocumentHandle doc, int objectIndex,
                      int vertexIndex)
KIVERA_HOST_SIGNATURE(MQDoc_AddSelectLine, int, DocumentHandle doc, int objectIndex, int faceIndex,
                      int lineIndex)
KIVERA_HOST_SIGNATURE(MQDoc_AddSelectFace, int, DocumentHandle doc, int objectIndex, int faceIndex)
KIVERA_HOST_SIGNATURE(MQDoc_GetScene, SceneHandle, DocumentHandle doc, int sceneIndex)
KIVERA_HOST_SIGNATURE(MQScene_GetViewMatrix, void, SceneHandle scene, float* matrix)
KIVERA_HOST_SIGNATURE(MQObj_GetVertexCount, int, ObjectHandle obj)
KIVERA_HOST_SIGNATURE(MQObj_GetVertex, void, ObjectHandle obj, int vertexIndex, Point3* position)
KIVERA_HOST_SIGNATURE(MQObj_SetVertex, void, ObjectHandle obj, int vertexIndex,
                      const Point3* position)
KIVERA_HOST_SIGNATURE(MQObj_GetVertexArray, void, ObjectHandle obj, Point3* positions)
KIVERA_HOST_SIGNATURE(MQObj_GetVertexRefCount, int, ObjectHandle obj, int vertexIndex)
KIVERA_HOST_SIGNATURE(MQObj_AddVertex, int, ObjectHandle obj, const Point3* position)
KIVERA_HOST_SIGNATURE(MQObj_GetFaceCount, int, ObjectHandle obj)
KIVERA_HOST_SIGNATURE(MQObj_GetFacePointCount, int, ObjectHandle obj, int faceIndex)
KIVERA_HOST_SIGNATURE(MQObj_GetFacePointArray, void, ObjectHandle obj, int faceIndex, int* points)
KIVERA_HOST_SIGNATURE(MQObj_AddFace, int, ObjectHandle obj, int pointCount, const int* points)
KIVERA_HOST_SIGNATURE(MQObj_DeleteFace, int, ObjectHandle obj, int faceIndex, int deleteVertex)
KIVERA_HOST_SIGNATURE(MQObj_GetFaceCoordinateArray, void, ObjectHandle obj, int faceIndex,
                      Point2* uv)
KIVERA_HOST_SIGNATURE(MQObj_SetFaceCoordinateArray, void, ObjectHandle obj, int faceIndex,
                      const Point2* uv)
KIVERA_HOST_SIGNATURE(MQMat_GetTextureName, void, MaterialHandle mat, char* buffer, int size)
KIVERA_HOST_SIGNATURE(MQMat_GetAlphaName, void, MaterialHandle mat, char* buffer, int size)
KIVERA_HOST_SIGNATURE(MQMat_GetBumpName, void, MaterialHandle mat, char* buffer, int size)
KIVERA_HOST_SIGNATURE(MQMat_SetTextureName, void, MaterialHandle mat, const char* name)
KIVERA_HOST_SIGNATURE(MQMat_SetAlphaName, void, MaterialHandle mat, const char* name)
KIVERA_HOST_SIGNATURE(MQMat_SetBumpName, void, MaterialHandle mat, const char* name)
#undef KIVERA_HOST_SIGNATURE

struct HostApi {
    HostProc functions[kHostFunctionCount];
    // True while every pointer above comes from one complete binding.
    bool complete;
};

extern HostApi hostApi;

// The name of binding-list entry `index`.
const char* HostFunctionName(int index);

// MQInit's work: bind every name from the library at `fileName`, all or
// nothing. True when all 122 names were found.
bool BindHost(const char* fileName);

// --- Forwarding functions, one per host function the commands call. ---

int SysGetSystemPath(char* buffer, int type);   // buffer of 128 bytes
void* SysGetWindowHandle();

int DocGetObjectCount(DocumentHandle doc);
ObjectHandle DocGetObject(DocumentHandle doc, int objectIndex);
int DocGetCurrentObjectIndex(DocumentHandle doc);
int DocGetMaterialCount(DocumentHandle doc);
MaterialHandle DocGetMaterial(DocumentHandle doc, int materialIndex);
int DocClearSelect(DocumentHandle doc, unsigned int flags);
int DocIsSelectVertex(DocumentHandle doc, int objectIndex, int vertexIndex);
int DocIsSelectLine(DocumentHandle doc, int objectIndex, int faceIndex, int lineIndex);
int DocIsSelectFace(DocumentHandle doc, int objectIndex, int faceIndex);
int DocAddSelectVertex(DocumentHandle doc, int objectIndex, int vertexIndex);
int DocAddSelectLine(DocumentHandle doc, int objectIndex, int faceIndex, int lineIndex);
int DocAddSelectFace(DocumentHandle doc, int objectIndex, int faceIndex);
SceneHandle DocGetScene(DocumentHandle doc, int sceneIndex);
void SceneGetViewMatrix(SceneHandle scene, float* matrix);   // 16 floats

int ObjGetVertexCount(ObjectHandle obj);
Point3 ObjGetVertex(ObjectHandle obj, int vertexIndex);
void ObjSetVertex(ObjectHandle obj, int vertexIndex, const Point3& position);
void ObjGetVertexArray(ObjectHandle obj, Point3* positions);
int ObjGetVertexRefCount(ObjectHandle obj, int vertexIndex);
int ObjAddVertex(ObjectHandle obj, const Point3& position);
int ObjGetFaceCount(ObjectHandle obj);
int ObjGetFacePointCount(ObjectHandle obj, int faceIndex);
// Writes as many ints as the face has points. Callers check the point count
// first: faces of more than kMaxFacePoints points are treated as absent by
// every command and are never read with this (see ReadFacePoints).
void ObjGetFacePointArray(ObjectHandle obj, int faceIndex, int* points);
int ObjAddFace(ObjectHandle obj, int pointCount, const int* points);
int ObjDeleteFace(ObjectHandle obj, int faceIndex, int deleteVertex);
void ObjGetFaceCoordinateArray(ObjectHandle obj, int faceIndex, Point2* uv);
void ObjSetFaceCoordinateArray(ObjectHandle obj, int faceIndex, const Point2* uv);

void MatGetTextureName(MaterialHandle mat, char* buffer, int size);
void MatGetAlphaName(MaterialHandle mat, char* buffer, int size);
void MatGetBumpName(MaterialHandle mat, char* buffer, int size);
void MatSetTextureName(MaterialHandle mat, const char* name);
void MatSetAlphaName(MaterialHandle mat, const char* name);
void MatSetBumpName(MaterialHandle mat, const char* name);

// --- Faces as the commands see them. ---

// kMaxFacePoints (geom/mesh_face.h): larger faces are treated as empty slots.

// The point count of `faceIndex` as the commands see it: the host's count,
// or 0 for a face of more than kMaxFacePoints points (or a negative count).
int UsableFacePointCount(ObjectHandle obj, int faceIndex);

// Reads the points of a usable face into `points` (room for kMaxFacePoints)
// and returns the count; returns 0 and leaves `points` untouched for an
// empty slot or a face of more than kMaxFacePoints points.
int ReadFacePoints(ObjectHandle obj, int faceIndex, int* points);

}  // namespace kivera
