// The host functions the plug-in calls, declared with the C signatures a
// plug-in binds them by, plus the few others the tests drive. Linked
// directly from libkiverahost.so.
#pragma once

#include "host/library/document.h"

extern "C" {
int MQ_GetSystemPath(char* buffer, int type);
void* MQ_GetWindowHandle(void);

int MQDoc_GetObjectCount(void* doc);
void* MQDoc_GetObject(void* doc, int objectIndex);
int MQDoc_GetCurrentObjectIndex(void* doc);
int MQDoc_GetMaterialCount(void* doc);
void* MQDoc_GetMaterial(void* doc, int materialIndex);
int MQDoc_ClearSelect(void* doc, unsigned int flags);
int MQDoc_IsSelectVertex(void* doc, int objectIndex, int vertexIndex);
int MQDoc_IsSelectLine(void* doc, int objectIndex, int faceIndex, int lineIndex);
int MQDoc_IsSelectFace(void* doc, int objectIndex, int faceIndex);
int MQDoc_AddSelectVertex(void* doc, int objectIndex, int vertexIndex);
int MQDoc_AddSelectLine(void* doc, int objectIndex, int faceIndex, int lineIndex);
int MQDoc_AddSelectFace(void* doc, int objectIndex, int faceIndex);
void* MQDoc_GetScene(void* doc, int sceneIndex);
void MQScene_GetViewMatrix(void* scene, float* matrix);

int MQObj_GetVertexCount(void* obj);
void MQObj_GetVertex(void* obj, int vertexIndex, host::Vec3* position);
void MQObj_SetVertex(void* obj, int vertexIndex, const host::Vec3* position);
void MQObj_GetVertexArray(void* obj, host::Vec3* positions);
int MQObj_GetVertexRefCount(void* obj, int vertexIndex);
int MQObj_AddVertex(void* obj, const host::Vec3* position);
int MQObj_GetFaceCount(void* obj);
int MQObj_GetFacePointCount(void* obj, int faceIndex);
void MQObj_GetFacePointArray(void* obj, int faceIndex, int* points);
int MQObj_AddFace(void* obj, int pointCount, const int* points);
int MQObj_DeleteFace(void* obj, int faceIndex, int deleteVertex);
void MQObj_GetFaceCoordinateArray(void* obj, int faceIndex, host::UV* uv);
void MQObj_SetFaceCoordinateArray(void* obj, int faceIndex, const host::UV* uv);

void MQMat_GetTextureName(void* mat, char* buffer, int size);
void MQMat_GetAlphaName(void* mat, char* buffer, int size);
void MQMat_GetBumpName(void* mat, char* buffer, int size);
void MQMat_SetTextureName(void* mat, const char* name);
void MQMat_SetAlphaName(void* mat, const char* name);
void MQMat_SetBumpName(void* mat, const char* name);

// Some of the others.
void* MQ_CreateObject(void);
int MQDoc_AddObject(void* doc, void* obj);
int MQDoc_DeleteObject(void* doc, int objectIndex);
void MQObj_Delete(void* obj);
void* MQObj_Clone(void* obj);
void MQObj_GetName(void* obj, char* buffer, int size);
int MQDoc_DeleteSelectLine(void* doc, int objectIndex, int faceIndex, int lineIndex);
}
