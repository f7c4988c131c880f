// The stand-in host's document model: what a host modeler holds and the
// plug-in reads and edits through the 122 exported host functions
// (host/library/host_exports.cpp). Tests and the kivera-host program build and inspect
// documents with this C++ interface; the plug-in never sees it.
//
// Every count the plug-in may ask for is kept current (reference counts,
// selections), so each exported call is O(1) apart from copying a face.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/face_storage.h"

// The C++ interface is exported from libkiverahost.so for the tests and the
// host program; everything else in the library stays hidden.
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

namespace host {

struct Vec3 {
    float x, y, z;
};

struct UV {
    float u, v;
};

// Stored a million times: the per-point arrays hold up to four points
// inside the face, so triangles and quads need no heap.
struct Face {
    FaceArray<int> points;               // vertex indices; empty = empty slot
    FaceArray<UV> uv;                    // one per point
    int material = -1;                   // material index, -1 = none
    bool selected = false;
    FaceArray<unsigned char> lineSelected;   // one per point: line k joins k and k+1
};

// Faces never move once added: a face's address stays valid while the
// object grows, and growing never copies the faces already there.
using FaceList = ChunkedArray<Face>;

// Vertices never move either: commands that add vertices to a big mesh do
// not pay for copying every position (and its count and flag) on the first.
struct Object {
    std::string name;
    ChunkedArray<Vec3> vertices;
    ChunkedArray<int> refCount;                  // face corners using each vertex
    ChunkedArray<unsigned char> vertexSelected;
    FaceList faces;
    bool visible = true;
    bool locked = false;
    int patchType = 0, patchSegment = 1, shading = 1, mirrorType = 0, mirrorAxis = 1,
        latheType = 0, latheAxis = 0, latheSegment = 3;
    float smoothAngle = 59.5f, mirrorDistance = 0.0f;
};

struct Material {
    std::string name;
    std::string texture, alpha, bump;   // map file names; empty = none
    float color[3] = {1.0f, 1.0f, 1.0f};
    float alphaValue = 1.0f, diffuse = 0.8f, ambient = 0.6f, emission = 0.0f, specular = 0.0f,
          power = 5.0f;
    // How often each map was (re)loaded: a name set, even to the same name,
    // makes the host read that file anew.
    int textureLoads = 0, alphaLoads = 0, bumpLoads = 0;
};

struct Scene {
    float view[16];        // the 4 x 4 view matrix as the host stores it
    float projection[16];
};

struct Document {
    std::vector<std::unique_ptr<Object>> objects;       // null = empty slot
    std::vector<std::unique_ptr<Material>> materials;   // null = empty slot
    int currentObject = 0;
    int currentMaterial = 0;
    Scene scene;   // scene 0; starts as the identity view
    Document();
};

// --- Building and editing (reference counts and selections stay current) ---

// Appends an object slot (nullptr object = empty slot); returns its index.
int AddObject(Document& doc, const std::string& name);
int AddEmptyObjectSlot(Document& doc);
int AddMaterial(Document& doc, const std::string& name);
int AddEmptyMaterialSlot(Document& doc);
int AddVertex(Object& obj, Vec3 position);
// Adds a face of any point count (no point may be outside the vertex list);
// UVs start at (0, 0), no selection. Returns the face index, or -1 refused.
int AddFace(Object& obj, const std::vector<int>& points, int material = -1);
// The same from `count` points at `points` (no allocation for up to four).
int AddFace(Object& obj, const int* points, int count, int material);
// Empties the face's slot (point count 0); other face indices stay valid.
bool DeleteFace(Object& obj, int face);

// Whether any of the face's texture coordinates is other than +0 (bit for
// bit, so -0 and NaN count as set): what the document files write out.
bool FaceHasUV(const Face& face);
// nullptr for a bad index or an empty slot.
Object* GetObject(Document& doc, int index);
const Object* GetObject(const Document& doc, int index);
Material* GetMaterial(Document& doc, int index);

void SelectVertex(Object& obj, int vertex, bool selected = true);
void SelectLine(Object& obj, int face, int line, bool selected = true);
void SelectFace(Object& obj, int face, bool selected = true);

// --- Host-wide state ---

// The folder of type 5 that MQ_GetSystemPath reports (kivera.ini, kivera.idx).
void SetSystemPath(const std::string& folder);
const std::string& SystemPath();

// The owner window handle MQ_GetWindowHandle hands out (any non-null value).
void* MainWindow();

// --- Call trace, for tests that check which host functions a command calls ---

struct Call {
    std::string name;        // exported name, e.g. "MQObj_SetVertex"
    std::vector<long long> args;   // integer arguments after the handle, in order
};

void StartTrace();               // clears and starts recording
std::vector<Call> StopTrace();   // stops and returns what was recorded
// Recording hook used by the exports.
void TraceCall(const char* name, std::initializer_list<long long> args = {});
// True while a trace is being recorded (the exports test it before calling
// TraceCall, so an untraced call costs one test).
bool Tracing();

// --- More editing, behind the exports the plug-in never calls ---

// Reverses the face's point order (UVs and line selections follow their
// points). False for a bad index or an empty slot.
bool InvertFace(Object& obj, int face);
// Appends a copy of `source`'s vertices and faces to `dest` (face indices
// into `source` are shifted by dest's vertex count). `source` may be `dest`.
void MergeObject(Object& dest, const Object& source);
// Removes empty face slots and vertices that no face uses; the remaining
// vertices and faces keep their order and their selection.
void CompactObject(Object& obj);
// Removes an unused vertex (reference count 0) and renumbers the faces.
// False for a bad index or a vertex in use.
bool DeleteVertex(Object& obj, int vertex);
// A deep copy of a document (the model holds its objects by unique_ptr), so
// that the state before a command can be kept beside the one after it.
Document CopyDocument(const Document& doc);
// Removes empty object and material slots; face materials follow their
// material's new index (-1 for one that named no material).
void CompactDocument(Document& doc);

}  // namespace host

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
