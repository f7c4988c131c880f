#include "hostaccess/host_api.h"

#include "platform/platform.h"

namespace kivera {

HostApi hostApi;

static const char* const kHostFunctionNames[kHostFunctionCount] = {
#define KIVERA_HOST_NAME(name) #name,
    KIVERA_HOST_FUNCTIONS(KIVERA_HOST_NAME)
#undef KIVERA_HOST_NAME
};

const char* HostFunctionName(int index)
{
    if (index < 0 || index >= kHostFunctionCount)
        return nullptr;
    return kHostFunctionNames[index];
}

bool BindHost(const char* fileName)
{
    LibraryHandle library = LoadSharedLibrary(fileName);
    if (!library)
        return false;   // the table stays as it was: an earlier binding remains usable
    for (int i = 0; i < kHostFunctionCount; ++i) {
        HostProc proc = FindLibraryFunction(library, kHostFunctionNames[i]);
        if (!proc) {
            // The pointers stored so far mix two bindings; the table is not
            // usable until a later MQInit binds every name again.
            hostApi.complete = false;
            FreeSharedLibrary(library);
            return false;
        }
        hostApi.functions[i] = proc;
    }
    hostApi.complete = true;
    // The host is the process's own image and stays loaded; this only gives
    // back the reference taken above.
    FreeSharedLibrary(library);
    return true;
}

// The bound pointer of `name` as the function it is (see HostSignature).
#define HOST_CALL(name)                                                                            \
    reinterpret_cast<HostSignature<kHost_##name>::Type>(hostApi.functions[kHost_##name])

int SysGetSystemPath(char* buffer, int type) { return HOST_CALL(MQ_GetSystemPath)(buffer, type); }

void* SysGetWindowHandle() { return HOST_CALL(MQ_GetWindowHandle)(); }

int DocGetObjectCount(DocumentHandle doc) { return HOST_CALL(MQDoc_GetObjectCount)(doc); }

ObjectHandle DocGetObject(DocumentHandle doc, int objectIndex)
{
    return HOST_CALL(MQDoc_GetObject)(doc, objectIndex);
}

int DocGetCurrentObjectIndex(DocumentHandle doc)
{
    return HOST_CALL(MQDoc_GetCurrentObjectIndex)(doc);
}

int DocGetMaterialCount(DocumentHandle doc) { return HOST_CALL(MQDoc_GetMaterialCount)(doc); }

MaterialHandle DocGetMaterial(DocumentHandle doc, int materialIndex)
{
    return HOST_CALL(MQDoc_GetMaterial)(doc, materialIndex);
}

int DocClearSelect(DocumentHandle doc, unsigned int flags)
{
    return HOST_CALL(MQDoc_ClearSelect)(doc, flags);
}

int DocIsSelectVertex(DocumentHandle doc, int objectIndex, int vertexIndex)
{
    return HOST_CALL(MQDoc_IsSelectVertex)(doc, objectIndex, vertexIndex);
}

int DocIsSelectLine(DocumentHandle doc, int objectIndex, int faceIndex, int lineIndex)
{
    return HOST_CALL(MQDoc_IsSelectLine)(doc, objectIndex, faceIndex, lineIndex);
}

int DocIsSelectFace(DocumentHandle doc, int objectIndex, int faceIndex)
{
    return HOST_CALL(MQDoc_IsSelectFace)(doc, objectIndex, faceIndex);
}

int DocAddSelectVertex(DocumentHandle doc, int objectIndex, int vertexIndex)
{
    return HOST_CALL(MQDoc_AddSelectVertex)(doc, objectIndex, vertexIndex);
}

int DocAddSelectLine(DocumentHandle doc, int objectIndex, int faceIndex, int lineIndex)
{
    return HOST_CALL(MQDoc_AddSelectLine)(doc, objectIndex, faceIndex, lineIndex);
}

int DocAddSelectFace(DocumentHandle doc, int objectIndex, int faceIndex)
{
    return HOST_CALL(MQDoc_AddSelectFace)(doc, objectIndex, faceIndex);
}

SceneHandle DocGetScene(DocumentHandle doc, int sceneIndex)
{
    return HOST_CALL(MQDoc_GetScene)(doc, sceneIndex);
}

void SceneGetViewMatrix(SceneHandle scene, float* matrix)
{
    HOST_CALL(MQScene_GetViewMatrix)(scene, matrix);
}

int ObjGetVertexCount(ObjectHandle obj) { return HOST_CALL(MQObj_GetVertexCount)(obj); }

Point3 ObjGetVertex(ObjectHandle obj, int vertexIndex)
{
    Point3 position = {0.0f, 0.0f, 0.0f};
    HOST_CALL(MQObj_GetVertex)(obj, vertexIndex, &position);
    return position;
}

void ObjSetVertex(ObjectHandle obj, int vertexIndex, const Point3& position)
{
    HOST_CALL(MQObj_SetVertex)(obj, vertexIndex, &position);
}

void ObjGetVertexArray(ObjectHandle obj, Point3* positions)
{
    HOST_CALL(MQObj_GetVertexArray)(obj, positions);
}

int ObjGetVertexRefCount(ObjectHandle obj, int vertexIndex)
{
    return HOST_CALL(MQObj_GetVertexRefCount)(obj, vertexIndex);
}

int ObjAddVertex(ObjectHandle obj, const Point3& position)
{
    return HOST_CALL(MQObj_AddVertex)(obj, &position);
}

int ObjGetFaceCount(ObjectHandle obj) { return HOST_CALL(MQObj_GetFaceCount)(obj); }

int ObjGetFacePointCount(ObjectHandle obj, int faceIndex)
{
    return HOST_CALL(MQObj_GetFacePointCount)(obj, faceIndex);
}

void ObjGetFacePointArray(ObjectHandle obj, int faceIndex, int* points)
{
    HOST_CALL(MQObj_GetFacePointArray)(obj, faceIndex, points);
}

int ObjAddFace(ObjectHandle obj, int pointCount, const int* points)
{
    return HOST_CALL(MQObj_AddFace)(obj, pointCount, points);
}

int ObjDeleteFace(ObjectHandle obj, int faceIndex, int deleteVertex)
{
    return HOST_CALL(MQObj_DeleteFace)(obj, faceIndex, deleteVertex);
}

void ObjGetFaceCoordinateArray(ObjectHandle obj, int faceIndex, Point2* uv)
{
    HOST_CALL(MQObj_GetFaceCoordinateArray)(obj, faceIndex, uv);
}

void ObjSetFaceCoordinateArray(ObjectHandle obj, int faceIndex, const Point2* uv)
{
    HOST_CALL(MQObj_SetFaceCoordinateArray)(obj, faceIndex, uv);
}

void MatGetTextureName(MaterialHandle mat, char* buffer, int size)
{
    HOST_CALL(MQMat_GetTextureName)(mat, buffer, size);
}

void MatGetAlphaName(MaterialHandle mat, char* buffer, int size)
{
    HOST_CALL(MQMat_GetAlphaName)(mat, buffer, size);
}

void MatGetBumpName(MaterialHandle mat, char* buffer, int size)
{
    HOST_CALL(MQMat_GetBumpName)(mat, buffer, size);
}

void MatSetTextureName(MaterialHandle mat, const char* name)
{
    HOST_CALL(MQMat_SetTextureName)(mat, name);
}

void MatSetAlphaName(MaterialHandle mat, const char* name)
{
    HOST_CALL(MQMat_SetAlphaName)(mat, name);
}

void MatSetBumpName(MaterialHandle mat, const char* name)
{
    HOST_CALL(MQMat_SetBumpName)(mat, name);
}

int UsableFacePointCount(ObjectHandle obj, int faceIndex)
{
    const int count = ObjGetFacePointCount(obj, faceIndex);
    if (count < 0 || count > kMaxFacePoints)
        return 0;
    return count;
}

int ReadFacePoints(ObjectHandle obj, int faceIndex, int* points)
{
    const int count = UsableFacePointCount(obj, faceIndex);
    if (count > 0)
        ObjGetFacePointArray(obj, faceIndex, points);
    return count;
}

}  // namespace kivera
