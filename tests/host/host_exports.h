// The host functions the plug-in calls, declared with the C signatures (and
// the C convention) a plug-in binds them by, plus the few others the tests
// drive. Linked directly from libkiverahost.so.
#pragma once

#include "host/library/document.h"
#include "platform/calling_convention.h"

extern "C" {
int KIVERA_CDECL MQ_GetSystemPath(char* buffer, int type);
void* KIVERA_CDECL MQ_GetWindowHandle(void);

int KIVERA_CDECL MQDoc_GetObjectCount(void* doc);
void* KIVERA_CDECL MQDoc_GetObject(void* doc, int objectIndex);
int KIVERA_CDECL MQDoc_GetCurrentObjectIndex(void* doc);
int KIVERA_CDECL MQDoc_GetMaterialCount(void* doc);
void* KIVERA_CDECL MQDoc_GetMaterial(void* doc, int materialIndex);
int KIVERA_CDECL MQDoc_ClearSelect(void* doc, unsigned int flags);
int KIVERA_CDECL MQDoc_IsSelectVertex(void* doc, int objectIndex, int vertexIndex);
int KIVERA_CDECL MQDoc_IsSelectLine(void* doc, int objectIndex, int faceIndex, int lineIndex);
int KIVERA_CDECL MQDoc_IsSelectFace(void* doc, int objectIndex, int faceIndex);
int KIVERA_CDECL MQDoc_AddSelectVertex(void* doc, int objectIndex, int vertexIndex);
int KIVERA_CDECL MQDoc_AddSelectLine(void* doc, int objectIndex, int faceIndex, int lineIndex);
int KIVERA_CDECL MQDoc_AddSelectFace(void* doc, int objectIndex, int faceIndex);
void* KIVERA_CDECL MQDoc_GetScene(void* doc, int sceneIndex);
void KIVERA_CDECL MQScene_GetViewMatrix(void* scene, float* matrix);

int KIVERA_CDECL MQObj_GetVertexCount(void* obj);
void KIVERA_CDECL MQObj_GetVertex(void* obj, int vertexIndex, host::Vec3* position);
void KIVERA_CDECL MQObj_SetVertex(void* obj, int vertexIndex, const host::Vec3* position);
void KIVERA_CDECL MQObj_GetVertexArray(void* obj, host::Vec3* positions);
int KIVERA_CDECL MQObj_GetVertexRefCount(void* obj, int vertexIndex);
int KIVERA_CDECL MQObj_AddVertex(void* obj, const host::Vec3* position);
int KIVERA_CDECL MQObj_GetFaceCount(void* obj);
int KIVERA_CDECL MQObj_GetFacePointCount(void* obj, int faceIndex);
void KIVERA_CDECL MQObj_GetFacePointArray(void* obj, int faceIndex, int* points);
int KIVERA_CDECL MQObj_AddFace(void* obj, int pointCount, const int* points);
int KIVERA_CDECL MQObj_DeleteFace(void* obj, int faceIndex, int deleteVertex);
void KIVERA_CDECL MQObj_GetFaceCoordinateArray(void* obj, int faceIndex, host::UV* uv);
void KIVERA_CDECL MQObj_SetFaceCoordinateArray(void* obj, int faceIndex, const host::UV* uv);

void KIVERA_CDECL MQMat_GetTextureName(void* mat, char* buffer, int size);
void KIVERA_CDECL MQMat_GetAlphaName(void* mat, char* buffer, int size);
void KIVERA_CDECL MQMat_GetBumpName(void* mat, char* buffer, int size);
void KIVERA_CDECL MQMat_SetTextureName(void* mat, const char* name);
void KIVERA_CDECL MQMat_SetAlphaName(void* mat, const char* name);
void KIVERA_CDECL MQMat_SetBumpName(void* mat, const char* name);

// Some of the others.
void* KIVERA_CDECL MQ_CreateObject(void);
int KIVERA_CDECL MQDoc_AddObject(void* doc, void* obj);
int KIVERA_CDECL MQDoc_DeleteObject(void* doc, int objectIndex);
void KIVERA_CDECL MQObj_Delete(void* obj);
void* KIVERA_CDECL MQObj_Clone(void* obj);
void KIVERA_CDECL MQObj_GetName(void* obj, char* buffer, int size);
int KIVERA_CDECL MQDoc_DeleteSelectLine(void* doc, int objectIndex, int faceIndex, int lineIndex);
void KIVERA_CDECL MQDoc_Compact(void* doc);
void KIVERA_CDECL MQObj_Merge(void* dest, void* source);
void KIVERA_CDECL MQObj_Compact(void* obj);
}
