// Running out of memory: every command on a small document, and the stand-in
// host's allocating edits, with the k-th allocation of the run failing, for
// every k up to the run's allocation count. The plug-in and the host share
// the process and this operator new, so either may be the one to fail. A
// command must return 0 or 1 and leave every object whole: faces inside
// their vertex list, per-point data as long as the points, reference counts
// equal to the corners that use each vertex.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "host/program/document_file.h"
#include "tests/host/host_exports.h"
#include "tests/support/plugin_session.h"

namespace {

// The allocation that fails, counted from 1 while armed; 0 = none.
long allocationCount = 0;
long failingAllocation = 0;
bool armed = false;
// What the failing allocation throws: bad_alloc, or length_error as a
// reservation above max_size() does.
bool throwLengthError = false;

// True when this allocation is the one to fail.
bool Fails()
{
    if (!armed)
        return false;
    ++allocationCount;
    return allocationCount == failingAllocation;
}

void* Allocate(std::size_t size)
{
    if (Fails()) {
        if (throwLengthError)
            throw std::length_error("allocation failure test");
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept
{
    return Fails() ? nullptr : std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace kivera_test {


namespace {


std::string ReadExample(const std::string& name)
{
    return kivera_test::ReadFile(std::string(KIVERA_EXAMPLES_DIR) + "/" + name);
}

void Parse(const std::string& text, host::Document& doc)
{
    host::DocumentInfo info;
    std::string error;
    ASSERT_TRUE(host::ParseDocumentText(text, "example", doc, info, error)) << error;
}

// What is broken in `doc`, or "" when every object is whole.
std::string Breakage(const host::Document& doc)
{
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        const host::Object* obj = doc.objects[o].get();
        if (!obj)
            continue;
        const std::size_t vertexCount = obj->vertices.size();
        std::vector<int> corners(vertexCount, 0);
        for (std::size_t f = 0; f < obj->faces.size(); ++f) {
            const host::Face& face = obj->faces[f];
            const std::string where = "object " + std::to_string(o) + " face " + std::to_string(f);
            if (face.uv.size() != face.points.size() ||
                face.lineSelected.size() > face.points.size())
                return where + ": per-point data of another length than its points";
            for (int p : face.points) {
                if (p < 0 || static_cast<std::size_t>(p) >= vertexCount)
                    return where + ": point " + std::to_string(p) + " out of range";
                ++corners[static_cast<std::size_t>(p)];
            }
        }
        if (obj->refCount.size() > vertexCount || obj->vertexSelected.size() > vertexCount)
            return "object " + std::to_string(o) + ": more counts or flags than vertices";
        for (std::size_t v = 0; v < vertexCount; ++v) {
            const int count = v < obj->refCount.size() ? obj->refCount[v] : 0;
            if (count != corners[v])
                return "object " + std::to_string(o) + " vertex " + std::to_string(v) +
                       ": reference count " + std::to_string(count) + ", used by " +
                       std::to_string(corners[v]) + " corners";
        }
    }
    return "";
}

std::string Text(const host::Document& doc)
{
    return host::FormatDocumentText(doc, host::DocumentInfo());
}

constexpr std::size_t kChunk = host::ChunkedArray<int>::kChunkSize;

// Grows every object of `doc` to a whole chunk of vertices and of face slots
// (unused vertices, empty slots), so that the first vertex and face a
// command adds make the host allocate.
void FillChunks(host::Document& doc)
{
    for (auto& obj : doc.objects) {
        if (!obj)
            continue;
        while (obj->vertices.size() < kChunk)
            host::AddVertex(*obj,
                            host::Vec3{static_cast<float>(obj->vertices.size()), 0.0f, 0.0f});
        if (obj->faces.size() < kChunk)
            obj->faces.resize(kChunk);
    }
}

// Runs `run` with allocation `failAt` failing (0: none) and returns how
// many allocations it made.
template <typename Run>
long CountingAllocations(long failAt, bool lengthError, Run&& run)
{
    allocationCount = 0;
    failingAllocation = failAt;
    throwLengthError = lengthError;
    armed = true;
    run();
    armed = false;
    return allocationCount;
}

TEST(AllocationFailure, EveryCommandEndsWholeWhicheverAllocationFails)
{
    struct Case {
        int row;
        const char* example;
        const char* dialog;   // the answers of the command's dialog
        bool atChunkBoundary;
    };
    const Case cases[] = {
        {0, "mixed-selection.json", "2", false},
        {1, "mixed-selection.json", "2", false},
        {2, "mixed-selection.json", "2", false},
        {3, "grid-center-vertex.json", "2", false},
        {4, "grid-ring.json", "2", false},
        {5, "grid-selected-points.json", "2", false},
        {6, "align-two-objects.json", "2", false},
        {7, "rim-sheet.json", "2", false},
        {8, "zigzag.json", "1004 1", false},
        {9, "bulge-profile.json", "2", false},
        {10, "saved-points.json", "2", false},
        {11, "saved-points.json", "1008 1009 1010 1", false},   // restores what row 10 saved
        {12, "polyline.json", "2", false},
        {13, "rotate-view.json", "2", false},
        {14, "ridge.json", "2", false},
        {15, "uv-copy.json", "2", false},
        {16, "materials.json", "2", false},
        {17, "ridge.json", "2", false},
        {18, "face-angle.json", "2", false},
        {12, "polyline.json", "2", true},
        {14, "ridge.json", "2", true},
        {17, "ridge.json", "2", true},
    };
    const PluginSession session;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("row ") + std::to_string(c.row) + " on " + c.example);
        const std::string text = ReadExample(c.example);
        kivera_test::DialogScript dialog(c.dialog);
        host::Document whole;
        Parse(text, whole);
        if (c.atChunkBoundary)
            FillChunks(whole);
        int result = -1;
        testing::internal::CaptureStderr();   // message boxes
        const long allocations =
            CountingAllocations(0, false, [&] { result = session.Run(c.row, whole); });
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(result, 1);
        for (long k = 1; k <= allocations; ++k) {
            for (bool lengthError : {false, true}) {
                host::Document doc;
                Parse(text, doc);
                if (c.atChunkBoundary)
                    FillChunks(doc);
                testing::internal::CaptureStderr();
                CountingAllocations(k, lengthError, [&] { result = session.Run(c.row, doc); });
                testing::internal::GetCapturedStderr();
                ASSERT_TRUE(result == 0 || result == 1)
                    << "allocation " << k << ": returned " << result;
                const std::string broken = Breakage(doc);
                ASSERT_EQ(broken, "")
                    << "allocation " << k << " failing" << (lengthError ? " (length_error)" : "");
            }
        }
    }
}

// An object at the end of its first chunk of vertices and of faces, its
// face 0 a hexagon (whose per-point data is on the heap), then an empty
// object slot for a compaction to remove.
void MakeHostEditDocument(host::Document& doc)
{
    host::Object& grid = *doc.objects[static_cast<std::size_t>(host::AddObject(doc, "grid"))];
    for (int v = 0; v < 6; ++v)
        host::AddVertex(grid, host::Vec3{static_cast<float>(v), 1.0f, 0.0f});
    host::AddFace(grid, {0, 1, 2, 3, 4, 5});
    FillChunks(doc);
    host::AddEmptyObjectSlot(doc);
}

const host::UV kHexagonUV[6] = {{0.5f, 0.5f}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {0.25f, 0.25f}};

// The stand-in host's own edits, the allocating ones: whichever allocation
// fails, no exception leaves the host and the document is as before when
// the edit reports failure, as after when it reports success.
TEST(AllocationFailure, HostEditsAreAllOrNothing)
{
    host::Document start;
    MakeHostEditDocument(start);
    const std::string before = Text(start);

    const host::Vec3 position = {1.0f, 2.0f, 3.0f};
    const int triangle[3] = {0, 1, 2};
    const int heptagon[7] = {0, 1, 2, 3, 4, 5, 6};
    // Each edit returns whether it reports success (1) or failure (0), or
    // -1 for a function that reports nothing.
    struct Case {
        const char* name;
        std::function<int(host::Document&, void*)> edit;
    };
    const auto reportsNothing = [](void (*edit)(host::Document&, void*)) {
        return [edit](host::Document& doc, void* obj) {
            edit(doc, obj);
            return -1;
        };
    };
    const Case cases[] = {
        {"add vertex",
         [&](host::Document&, void* obj) { return MQObj_AddVertex(obj, &position) >= 0; }},
        {"add triangle",
         [&](host::Document&, void* obj) { return MQObj_AddFace(obj, 3, triangle) >= 0; }},
        {"add heptagon",
         [&](host::Document&, void* obj) { return MQObj_AddFace(obj, 7, heptagon) >= 0; }},
        {"add object",
         [](host::Document& doc, void*) { return MQDoc_AddObject(&doc, MQ_CreateObject()) >= 0; }},
        {"set hexagon UVs", reportsNothing([](host::Document&, void* obj) {
             MQObj_SetFaceCoordinateArray(obj, 0, kHexagonUV);
         })},
        {"merge into itself",
         reportsNothing([](host::Document&, void* obj) { MQObj_Merge(obj, obj); })},
        {"compact object", reportsNothing([](host::Document&, void* obj) { MQObj_Compact(obj); })},
        {"compact document",
         reportsNothing([](host::Document& doc, void*) { MQDoc_Compact(&doc); })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::Document whole;
        MakeHostEditDocument(whole);
        const long allocations =
            CountingAllocations(0, false, [&] { c.edit(whole, MQDoc_GetObject(&whole, 0)); });
        const std::string after = Text(whole);
        ASSERT_TRUE(after != before);
        for (long k = 1; k <= allocations; ++k) {
            host::Document doc;
            MakeHostEditDocument(doc);
            int reported = -1;
            CountingAllocations(k, false,
                                [&] { reported = c.edit(doc, MQDoc_GetObject(&doc, 0)); });
            ASSERT_EQ(Breakage(doc), "") << "allocation " << k << " failing";
            const std::string text = Text(doc);
            if (reported == -1)
                ASSERT_TRUE(text == before || text == after) << "allocation " << k << " failing";
            else
                ASSERT_TRUE(text == (reported ? after : before))
                    << "allocation " << k << " failing, reported " << reported;
        }
    }
}

}  // namespace

}  // namespace kivera_test
