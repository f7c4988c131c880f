// The containers behind a document's faces and vertices: a face's
// per-point arrays (inline up to four points) and the chunked list that
// never moves a face or vertex once added.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/library/document.h"
#include "host/library/face_storage.h"

namespace {

using host::ChunkedArray;
using host::FaceArray;

// True when the array's values sit inside the array object itself.
template <typename T>
bool ValuesInside(const FaceArray<T>& a)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(&a);
    const auto values = reinterpret_cast<std::uintptr_t>(a.data());
    return values >= begin && values < begin + sizeof(a);
}

TEST(FaceArray, GrowsFromInlineToHeapAndKeepsItsValues)
{
    FaceArray<int> a = {10, 11, 12, 13};
    EXPECT_TRUE(ValuesInside(a));
    // The value pushed is the array's own, read before the storage moves.
    a.push_back(a[0]);
    EXPECT_FALSE(ValuesInside(a));
    EXPECT_EQ(a, (std::vector<int>{10, 11, 12, 13, 10}));
    a.resize(3);
    EXPECT_EQ(a, (std::vector<int>{10, 11, 12}));
    a.resize(6, 7);
    EXPECT_EQ(a, (std::vector<int>{10, 11, 12, 7, 7, 7}));
    a.assign(a.begin() + 1, a.begin() + 3);   // a range of its own values
    EXPECT_EQ(a, (std::vector<int>{11, 12}));
    a.assign(std::size_t(2), 5);
    EXPECT_EQ(a, (std::vector<int>{5, 5}));

    const std::vector<int> nine = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    FaceArray<int> b;
    b.assign(nine.begin(), nine.end());
    EXPECT_EQ(b, nine);
    EXPECT_EQ(b.front(), 1);
    EXPECT_EQ(b.back(), 9);
    b.clear();
    EXPECT_TRUE(b.empty());
}

TEST(FaceArray, CopiesAndMovesInlineAndHeapValues)
{
    for (const std::vector<int>& values : {std::vector<int>{1, 2, 3}, std::vector<int>{1, 2, 3, 4, 5, 6}}) {
        SCOPED_TRACE(values.size());
        FaceArray<int> source = values;

        FaceArray<int> copy = source;
        EXPECT_EQ(copy, source);
        EXPECT_NE(copy.data(), source.data());
        copy[0] = 99;
        EXPECT_EQ(source, values) << "the copy shares no storage with its source";

        FaceArray<int> assigned = {8, 8, 8, 8, 8, 8, 8};   // on the heap before
        assigned = source;
        EXPECT_EQ(assigned, values);
        EXPECT_NE(assigned.data(), source.data());

        FaceArray<int> moved = std::move(copy);
        EXPECT_EQ(moved.size(), values.size());
        EXPECT_EQ(moved[0], 99);
        EXPECT_TRUE(copy.empty());   // emptied, and usable again
        copy.push_back(4);
        EXPECT_EQ(copy, (std::vector<int>{4}));

        FaceArray<int> target = {5, 5, 5, 5, 5};
        target = std::move(moved);
        EXPECT_EQ(target[0], 99);
        EXPECT_EQ(target.size(), values.size());

        FaceArray<int>& self = source;
        source = self;
        EXPECT_EQ(source, values);
        source = std::move(self);
        EXPECT_EQ(source, values);
    }
}

TEST(FaceArray, ComparesWithVectorsBothWays)
{
    const FaceArray<unsigned char> flags = {0, 1, 0, 0, 1};
    const std::vector<unsigned char> same = {0, 1, 0, 0, 1};
    EXPECT_TRUE(flags == same);
    EXPECT_TRUE(same == flags);
    EXPECT_FALSE(flags != same);
    EXPECT_TRUE(flags != (std::vector<unsigned char>{0, 1, 0, 0}));
    EXPECT_TRUE((std::vector<unsigned char>{0, 1, 0, 0, 0}) != flags);
    EXPECT_TRUE(flags != FaceArray<unsigned char>());
    EXPECT_TRUE(FaceArray<int>() == std::vector<int>());
}

TEST(ChunkedArray, IndexesIteratesAndCopiesAcrossChunkEdges)
{
    const std::size_t n = 2 * ChunkedArray<int>::kChunkSize + 3;
    ChunkedArray<int> list;
    list.reserve(10);
    list.push_back(0);
    const int* first = &list[0];
    for (std::size_t i = 1; i < n; ++i)
        list.push_back(static_cast<int>(i));
    EXPECT_EQ(&list[0], first) << "growing moved the first element";
    ASSERT_EQ(list.size(), n);
    EXPECT_EQ(list.back(), static_cast<int>(n - 1));

    std::size_t visited = 0;
    bool inOrder = true;
    for (int& value : list)
        inOrder = inOrder && value == static_cast<int>(visited++);
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(visited, n);

    const std::size_t edge = ChunkedArray<int>::kChunkSize;
    const ChunkedArray<int> copy = list;
    list[edge - 1] = -1;
    list[edge] = -2;
    ASSERT_EQ(copy.size(), n);
    EXPECT_EQ(copy[edge - 1], static_cast<int>(edge - 1));
    EXPECT_EQ(copy[edge], static_cast<int>(edge));
    std::size_t sum = 0;
    for (const int& value : copy)
        sum += static_cast<std::size_t>(value);
    EXPECT_EQ(sum, n * (n - 1) / 2);

    ChunkedArray<int> moved = std::move(list);
    EXPECT_EQ(moved[edge], -2);
    EXPECT_TRUE(list.empty());
    list = copy;
    EXPECT_EQ(list[n - 1], static_cast<int>(n - 1));
    list = std::move(moved);
    EXPECT_EQ(list[edge - 1], -1);
}

TEST(ChunkedArray, ResizesAssignsAndErasesAcrossAChunkEdge)
{
    const std::size_t edge = ChunkedArray<int>::kChunkSize;
    ChunkedArray<int> list;
    list.resize(edge - 1);
    list.resize(edge + 2, 7);
    ASSERT_EQ(list.size(), edge + 2);
    EXPECT_EQ(list[edge - 2], 0);
    EXPECT_EQ(list[edge - 1], 7);
    EXPECT_EQ(list.at(edge + 1), 7);
    EXPECT_THROW(list.at(edge + 2), std::out_of_range);

    // Growing from one of its own elements, then shrinking keeps the rest.
    list[0] = 5;
    list.resize(edge + 4, list[0]);
    EXPECT_EQ(list[edge + 3], 5);
    list.resize(edge);
    EXPECT_EQ(list.size(), edge);
    EXPECT_EQ(list.back(), 7);

    for (std::size_t i = 0; i < list.size(); ++i)
        list[i] = static_cast<int>(i);
    list.push_back(static_cast<int>(edge));
    const auto next = list.erase(list.begin() + static_cast<std::ptrdiff_t>(edge - 1));
    ASSERT_EQ(list.size(), edge);
    EXPECT_EQ(*next, static_cast<int>(edge)) << "the element after the edge moved down";
    EXPECT_EQ(list[edge - 2], static_cast<int>(edge - 2));
    list.erase(list.begin());
    EXPECT_EQ(list.front(), 1);
    EXPECT_EQ(list.back(), static_cast<int>(edge));

    list.assign(edge + 1, 3);
    EXPECT_EQ(list, std::vector<int>(edge + 1, 3));
    list.assign(2, 4);
    EXPECT_EQ(list, (std::vector<int>{4, 4}));
    EXPECT_TRUE(list != (std::vector<int>{4}));

    // Owning elements: shrinking and erasing free them (the sanitizer
    // build reports a leak or a double free otherwise).
    ChunkedArray<std::string> names;
    names.resize(edge + 1, std::string(40, 'n'));
    names.erase(names.begin() + 1);
    names.resize(2);
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], std::string(40, 'n'));
}

TEST(ChunkedArray, CopiesOutEveryElementRunByRun)
{
    const std::size_t n = 2 * ChunkedArray<int>::kChunkSize + 5;
    ChunkedArray<int> list;
    for (std::size_t i = 0; i < n; ++i)
        list.push_back(static_cast<int>(i));
    std::vector<int> out(n + 1, -1);
    list.CopyTo(out.data());
    EXPECT_EQ(std::vector<int>(out.begin(), out.end() - 1), std::vector<int>(list.begin(), list.end()));
    EXPECT_EQ(out.back(), -1) << "copied past the end";

    std::size_t runs = 0, total = 0;
    list.ForEachRun([&](const int* first, std::size_t count) {
        EXPECT_EQ(*first, static_cast<int>(total));
        ++runs;
        total += count;
    });
    EXPECT_EQ(runs, 3u);
    EXPECT_EQ(total, n);
    ChunkedArray<int>().CopyTo(nullptr);   // nothing to copy, nothing touched
}

// A row of `count` triangles over three shared vertices.
host::Object& Triangles(host::Document& doc, int count)
{
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "triangles"));
    for (int v = 0; v < 3; ++v)
        host::AddVertex(obj, {float(v), 0.0f, 0.0f});
    for (int f = 0; f < count; ++f)
        host::AddFace(obj, {0, 1, 2}, f);
    return obj;
}

TEST(FaceStorage, FacesKeepTheirPlaceWhileTheObjectGrows)
{
    host::Document doc;
    host::Object& obj = Triangles(doc, 1);
    obj.faces.reserve(1);   // exactly full, as a freshly built document is
    const host::Face* face0 = &obj.faces[0];
    for (int f = 1; f < 100000; ++f)
        host::AddFace(obj, {2, 1, 0}, f);
    EXPECT_EQ(&obj.faces[0], face0);
    EXPECT_EQ(obj.faces[0].points, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(obj.faces[99999].material, 99999);
    EXPECT_EQ(obj.refCount[0], 100000);
}

TEST(FaceStorage, VerticesKeepTheirPlaceWhileTheObjectGrows)
{
    host::Document doc;
    host::Object& obj = Triangles(doc, 1);
    host::SelectVertex(obj, 1);
    const host::Vec3* position = &obj.vertices[1];
    const int* count = &obj.refCount[1];
    const unsigned char* selected = &obj.vertexSelected[1];
    for (int v = 3; v < 100000; ++v)
        host::AddVertex(obj, {float(v), 0.0f, 0.0f});
    EXPECT_EQ(&obj.vertices[1], position);
    EXPECT_EQ(&obj.refCount[1], count);
    EXPECT_EQ(&obj.vertexSelected[1], selected);
    EXPECT_EQ(obj.vertices[99999].x, 99999.0f);
    EXPECT_EQ(obj.refCount.size(), 100000u);
    EXPECT_EQ(obj.vertexSelected[1], 1);

    // Deleting an unused vertex before a chunk edge renumbers the faces
    // that use vertices past it.
    const int edge = static_cast<int>(ChunkedArray<host::Vec3>::kChunkSize);
    const int face = host::AddFace(obj, {edge - 2, edge, edge + 1});
    host::SelectVertex(obj, edge);
    ASSERT_TRUE(host::DeleteVertex(obj, edge - 1));
    EXPECT_EQ(obj.faces[face].points, (std::vector<int>{edge - 2, edge - 1, edge}));
    EXPECT_EQ(obj.vertices[edge - 1].x, float(edge));
    EXPECT_EQ(obj.refCount[edge - 1], 1);
    EXPECT_EQ(obj.vertexSelected[edge - 1], 1);
    EXPECT_EQ(obj.vertices.size(), 99999u);
}

TEST(FaceStorage, MergingAnObjectIntoItselfCopiesEveryChunk)
{
    host::Document doc;
    const int count = static_cast<int>(host::FaceList::kChunkSize) + 1;
    host::Object& obj = Triangles(doc, count);
    host::SelectLine(obj, count - 1, 2);
    host::MergeObject(obj, obj);
    ASSERT_EQ(obj.faces.size(), std::size_t(2 * count));
    const host::Face& last = obj.faces.back();
    EXPECT_EQ(last.points, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(last.material, count - 1);
    EXPECT_EQ(last.lineSelected, (std::vector<unsigned char>{0, 0, 1}));
}

TEST(FaceStorage, InvertingAFaceOfMoreThanFourPointsTurnsItsLines)
{
    host::Document doc;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "hexagon"));
    for (int v = 0; v < 6; ++v)
        host::AddVertex(obj, {float(v), 0.0f, 0.0f});
    const int face = host::AddFace(obj, {0, 1, 2, 3, 4, 5});
    host::SelectLine(obj, face, 0);   // joins 0 and 1
    host::SelectLine(obj, face, 5);   // joins 5 and 0
    obj.faces[face].uv[1] = {1.0f, 1.0f};
    ASSERT_TRUE(host::InvertFace(obj, face));
    EXPECT_EQ(obj.faces[face].points, (std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(obj.faces[face].uv[4].u, 1.0f);
    // Now 1-0 is line 4 and 0-5 stays line 5.
    EXPECT_EQ(obj.faces[face].lineSelected, (std::vector<unsigned char>{0, 0, 0, 0, 1, 1}));
}

}  // namespace
