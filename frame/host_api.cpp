#include "frame/host_api.h"

#include "platform/platform.h"

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

int BindHost(const char* fileName)
{
    LibraryHandle library = LoadSharedLibrary(fileName);
    if (!library)
        return 0;   // the table stays as it was: an earlier binding remains usable
    for (int i = 0; i < kHostFunctionCount; ++i) {
        HostProc proc = FindLibraryFunction(library, kHostFunctionNames[i]);
        if (!proc) {
            // The pointers stored so far mix two bindings; the table is not
            // usable until a later MQInit binds every name again.
            hostApi.complete = 0;
            FreeSharedLibrary(library);
            return 0;
        }
        hostApi.functions[i] = proc;
    }
    hostApi.complete = 1;
    // The host is the process's own image and stays loaded; this only gives
    // back the reference taken above.
    FreeSharedLibrary(library);
    return 1;
}

// Casts the bound pointer of `name` to the signature the contract gives it.
#define HOST_CALL(name, Signature) reinterpret_cast<Signature>(hostApi.functions[kHost_##name])

int SysGetSystemPath(char* buffer, int type)
{
    return HOST_CALL(MQ_GetSystemPath, int (*)(char*, int))(buffer, type);
}

void* SysGetWindowHandle() { return HOST_CALL(MQ_GetWindowHandle, void* (*)(void))(); }

int DocGetObjectCount(DocumentHandle doc)
{
    return HOST_CALL(MQDoc_GetObjectCount, int (*)(DocumentHandle))(doc);
}

ObjectHandle DocGetObject(DocumentHandle doc, int objectIndex)
{
    return HOST_CALL(MQDoc_GetObject, ObjectHandle (*)(DocumentHandle, int))(doc, objectIndex);
}

int DocGetCurrentObjectIndex(DocumentHandle doc)
{
    return HOST_CALL(MQDoc_GetCurrentObjectIndex, int (*)(DocumentHandle))(doc);
}

int DocGetMaterialCount(DocumentHandle doc)
{
    return HOST_CALL(MQDoc_GetMaterialCount, int (*)(DocumentHandle))(doc);
}

MaterialHandle DocGetMaterial(DocumentHandle doc, int materialIndex)
{
    return HOST_CALL(MQDoc_GetMaterial, MaterialHandle (*)(DocumentHandle, int))(doc, materialIndex);
}

int DocClearSelect(DocumentHandle doc, unsigned int flags)
{
    return HOST_CALL(MQDoc_ClearSelect, int (*)(DocumentHandle, unsigned int))(doc, flags);
}

int DocIsSelectVertex(DocumentHandle doc, int objectIndex, int vertexIndex)
{
    return HOST_CALL(MQDoc_IsSelectVertex, int (*)(DocumentHandle, int, int))(doc, objectIndex,
                                                                               vertexIndex);
}

int DocIsSelectLine(DocumentHandle doc, int objectIndex, int faceIndex, int lineIndex)
{
    return HOST_CALL(MQDoc_IsSelectLine, int (*)(DocumentHandle, int, int, int))(
        doc, objectIndex, faceIndex, lineIndex);
}

int DocIsSelectFace(DocumentHandle doc, int objectIndex, int faceIndex)
{
    return HOST_CALL(MQDoc_IsSelectFace, int (*)(DocumentHandle, int, int))(doc, objectIndex,
                                                                             faceIndex);
}

int DocAddSelectVertex(DocumentHandle doc, int objectIndex, int vertexIndex)
{
    return HOST_CALL(MQDoc_AddSelectVertex, int (*)(DocumentHandle, int, int))(doc, objectIndex,
                                                                                vertexIndex);
}

int DocAddSelectLine(DocumentHandle doc, int objectIndex, int faceIndex, int lineIndex)
{
    return HOST_CALL(MQDoc_AddSelectLine, int (*)(DocumentHandle, int, int, int))(
        doc, objectIndex, faceIndex, lineIndex);
}

int DocAddSelectFace(DocumentHandle doc, int objectIndex, int faceIndex)
{
    return HOST_CALL(MQDoc_AddSelectFace, int (*)(DocumentHandle, int, int))(doc, objectIndex,
                                                                              faceIndex);
}

SceneHandle DocGetScene(DocumentHandle doc, int sceneIndex)
{
    return HOST_CALL(MQDoc_GetScene, SceneHandle (*)(DocumentHandle, int))(doc, sceneIndex);
}

void SceneGetViewMatrix(SceneHandle scene, float* matrix)
{
    HOST_CALL(MQScene_GetViewMatrix, void (*)(SceneHandle, float*))(scene, matrix);
}

int ObjGetVertexCount(ObjectHandle obj)
{
    return HOST_CALL(MQObj_GetVertexCount, int (*)(ObjectHandle))(obj);
}

Point3 ObjGetVertex(ObjectHandle obj, int vertexIndex)
{
    Point3 position = {0.0f, 0.0f, 0.0f};
    HOST_CALL(MQObj_GetVertex, void (*)(ObjectHandle, int, Point3*))(obj, vertexIndex, &position);
    return position;
}

void ObjSetVertex(ObjectHandle obj, int vertexIndex, const Point3& position)
{
    HOST_CALL(MQObj_SetVertex, void (*)(ObjectHandle, int, const Point3*))(obj, vertexIndex,
                                                                            &position);
}

void ObjGetVertexArray(ObjectHandle obj, Point3* positions)
{
    HOST_CALL(MQObj_GetVertexArray, void (*)(ObjectHandle, Point3*))(obj, positions);
}

int ObjGetVertexRefCount(ObjectHandle obj, int vertexIndex)
{
    return HOST_CALL(MQObj_GetVertexRefCount, int (*)(ObjectHandle, int))(obj, vertexIndex);
}

int ObjAddVertex(ObjectHandle obj, const Point3& position)
{
    return HOST_CALL(MQObj_AddVertex, int (*)(ObjectHandle, const Point3*))(obj, &position);
}

int ObjGetFaceCount(ObjectHandle obj)
{
    return HOST_CALL(MQObj_GetFaceCount, int (*)(ObjectHandle))(obj);
}

int ObjGetFacePointCount(ObjectHandle obj, int faceIndex)
{
    return HOST_CALL(MQObj_GetFacePointCount, int (*)(ObjectHandle, int))(obj, faceIndex);
}

void ObjGetFacePointArray(ObjectHandle obj, int faceIndex, int* points)
{
    HOST_CALL(MQObj_GetFacePointArray, void (*)(ObjectHandle, int, int*))(obj, faceIndex, points);
}

int ObjAddFace(ObjectHandle obj, int pointCount, const int* points)
{
    return HOST_CALL(MQObj_AddFace, int (*)(ObjectHandle, int, const int*))(obj, pointCount,
                                                                             points);
}

int ObjDeleteFace(ObjectHandle obj, int faceIndex, int deleteVertex)
{
    return HOST_CALL(MQObj_DeleteFace, int (*)(ObjectHandle, int, int))(obj, faceIndex,
                                                                         deleteVertex);
}

void ObjGetFaceCoordinateArray(ObjectHandle obj, int faceIndex, Point2* uv)
{
    HOST_CALL(MQObj_GetFaceCoordinateArray, void (*)(ObjectHandle, int, Point2*))(obj, faceIndex,
                                                                                   uv);
}

void ObjSetFaceCoordinateArray(ObjectHandle obj, int faceIndex, const Point2* uv)
{
    HOST_CALL(MQObj_SetFaceCoordinateArray, void (*)(ObjectHandle, int, const Point2*))(
        obj, faceIndex, uv);
}

void MatGetTextureName(MaterialHandle mat, char* buffer, int size)
{
    HOST_CALL(MQMat_GetTextureName, void (*)(MaterialHandle, char*, int))(mat, buffer, size);
}

void MatGetAlphaName(MaterialHandle mat, char* buffer, int size)
{
    HOST_CALL(MQMat_GetAlphaName, void (*)(MaterialHandle, char*, int))(mat, buffer, size);
}

void MatGetBumpName(MaterialHandle mat, char* buffer, int size)
{
    HOST_CALL(MQMat_GetBumpName, void (*)(MaterialHandle, char*, int))(mat, buffer, size);
}

void MatSetTextureName(MaterialHandle mat, const char* name)
{
    HOST_CALL(MQMat_SetTextureName, void (*)(MaterialHandle, const char*))(mat, name);
}

void MatSetAlphaName(MaterialHandle mat, const char* name)
{
    HOST_CALL(MQMat_SetAlphaName, void (*)(MaterialHandle, const char*))(mat, name);
}

void MatSetBumpName(MaterialHandle mat, const char* name)
{
    HOST_CALL(MQMat_SetBumpName, void (*)(MaterialHandle, const char*))(mat, name);
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
