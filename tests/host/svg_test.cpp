// The SVG picture: each kind of selection shows and is drawn over the rest,
// the frame fits what it is asked to fit, and a big mesh stays small.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "host/program/svg.h"

namespace {

// Adds a grid of unit quads, `columns` along x and `rows` along z, at
// height `y`, bent by `bend` so that its faces take several shades.
void AddGrid(host::Document& doc, int columns, int rows, float y, float bend)
{
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "grid"));
    for (int z = 0; z <= rows; ++z)
        for (int x = 0; x <= columns; ++x)
            host::AddVertex(obj, host::Vec3{static_cast<float>(x), y + std::sin(x * 0.05f) * bend,
                                            static_cast<float>(z)});
    const int w = columns + 1;
    for (int z = 0; z < rows; ++z)
        for (int x = 0; x < columns; ++x)
            host::AddFace(obj, {z * w + x, z * w + x + 1, (z + 1) * w + x + 1, (z + 1) * w + x});
}

// Two unit quads side by side: x 0 to 2, z 0 to 1.
host::Document Quads()
{
    host::Document doc;
    AddGrid(doc, 2, 1, 0, 0);
    return doc;
}

// What a picture draws: subpaths per kind of path ("f" faces, "s" selected
// faces, "sl" selected lines, "v" and "sv" dots), where the last unselected
// face and the first selected one are in the text, and the x extent of the
// faces in pixels.
struct Drawn {
    std::map<std::string, std::size_t> subpaths;
    std::size_t lastFace = 0, firstSelectedFace = std::string::npos;
    double minX = 1e9, maxX = -1e9;
};

Drawn Read(const std::string& svg, bool extent)
{
    Drawn drawn;
    const std::string start = "<path class=\"";
    for (std::size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
        const std::size_t classEnd = svg.find('"', at + start.size());
        const std::size_t dStart = classEnd + 5, dEnd = svg.find('"', dStart);   // past `" d="`
        std::string kind = svg.substr(at + start.size(), classEnd - at - start.size());
        if (std::isdigit(static_cast<unsigned char>(kind[1])))
            kind = kind.substr(0, 1);   // "f3a", "s11c": a face's brightness and edges
        const std::string d = svg.substr(dStart, dEnd - dStart);
        drawn.subpaths[kind] += static_cast<std::size_t>(std::count(d.begin(), d.end(), 'M'));
        if (kind == "f")
            drawn.lastFace = at;
        if (kind == "s")
            drawn.firstSelectedFace = std::min(drawn.firstSelectedFace, at);
        if (!extent || (kind != "f" && kind != "s"))
            continue;
        // "M x y l dx dy dx dy ... z": every other number moves x.
        double x = 0;
        std::size_t numbers = 0;
        for (const char* c = d.c_str(); *c;) {
            if (std::isalpha(static_cast<unsigned char>(*c)) || *c == ' ') {
                numbers = *c == 'M' ? 0 : numbers;
                ++c;
                continue;
            }
            char* end = nullptr;
            const double value = std::strtod(c, &end);
            c = end;
            if (numbers++ % 2 == 0) {
                x = numbers == 1 ? value : x + value;
                drawn.minX = std::min(drawn.minX, x);
                drawn.maxX = std::max(drawn.maxX, x);
            }
        }
    }
    return drawn;
}

TEST(Svg, PicturesShowTheSelectionFitTheirFramesAndStaySmall)
{
    using host::FitKind;
    using host::ViewKind;
    struct Case {
        const char* what;
        std::function<host::Document()> make;
        ViewKind view;
        FitKind fit;
        std::size_t faces, selectedFaces, selectedLines, dots, selectedDots;
        double width;     // x extent of the faces in pixels, or 0 for any
        bool note;
    };
    const auto selected = [] {
        host::Document doc = Quads();
        host::Object& obj = *doc.objects[0];
        host::SelectFace(obj, 1);
        host::SelectLine(obj, 0, 3);
        host::SelectVertex(obj, 0);
        host::SelectVertex(obj, 1);
        host::AddVertex(obj, host::Vec3{std::nanf(""), 0, 0});   // not drawn, and no harm
        host::AddFace(obj, {0, 6, 1});
        return doc;
    };
    const auto farVertex = [] {
        host::Document doc = Quads();
        host::AddVertex(*doc.objects[0], host::Vec3{100, 100, 100});
        return doc;
    };
    const auto oneFace = [] {
        host::Document doc = Quads();
        host::SelectFace(*doc.objects[0], 1);
        return doc;
    };
    const auto hugeFace = [] {
        host::Document doc = Quads();
        host::Object& obj = *doc.objects[0];
        host::AddFace(obj, {0, 1, host::AddVertex(obj, host::Vec3{3e38f, 0, 3e38f})});
        host::SelectFace(obj, 1);
        return doc;
    };
    const auto bigGrid = [] {
        host::Document doc;
        AddGrid(doc, 317, 317, 0, 10);   // 100489 faces
        host::SelectFace(*doc.objects[0], 5000);
        return doc;
    };
    const auto twoLayers = [] {
        host::Document doc;
        AddGrid(doc, 40, 40, 0, 0);
        AddGrid(doc, 40, 40, 1, 0);   // above the first: seen from the top, it hides all of it
        return doc;
    };
    const Case cases[] = {
        {"each kind, over the rest", selected, ViewKind::Top, FitKind::All, 1, 1, 1, 4, 2, 420, false},
        {"faces, not an unused vertex", farVertex, ViewKind::Top, FitKind::All, 2, 0, 0, 6, 0, 420, false},
        {"zoom to the selected face", oneFace, ViewKind::Top, FitKind::Selection, 1, 1, 0, 4, 0, 840, false},
        {"zoom beside a huge face", hugeFace, ViewKind::Top, FitKind::Selection, 2, 1, 0, 4, 0, 0, false},
        {"nothing selected to zoom to", Quads, ViewKind::Top, FitKind::Selection, 2, 0, 0, 6, 0, 420, true},
        {"iso", Quads, ViewKind::Iso, FitKind::All, 2, 0, 0, 6, 0, 0, false},
        {"hidden small faces left out", twoLayers, ViewKind::Top, FitKind::All, 1600, 0, 0, 0, 0, 420, false},
        {"a hundred thousand faces", bigGrid, ViewKind::Top, FitKind::All, 100488, 1, 0, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const host::Document doc = c.make();
        std::string note;
        const std::string svg = host::RenderSvg({{&doc, "a <b>"}}, {c.view, c.fit, false}, &note);
        Drawn drawn = Read(svg, c.width > 0);
        const std::size_t counts[] = {c.faces, c.selectedFaces, c.selectedLines, c.dots, c.selectedDots};
        const char* kinds[] = {"f", "s", "sl", "v", "sv"};
        for (std::size_t k = 0; k < 5; ++k)
            EXPECT_EQ(drawn.subpaths[kinds[k]], counts[k]) << kinds[k];
        if (c.selectedFaces > 0) {
            EXPECT_GT(drawn.firstSelectedFace, drawn.lastFace);
        }
        if (c.width > 0) {
            EXPECT_NEAR(drawn.maxX - drawn.minX, c.width, 1);
        }
        EXPECT_EQ(!note.empty(), c.note);
        EXPECT_NE(svg.find("a &lt;b&gt;"), std::string::npos);
        EXPECT_EQ(svg.find("nan"), std::string::npos);
        EXPECT_LT(svg.size(), 10u << 20);
    }
    host::ViewKind view;
    EXPECT_TRUE(host::ParseViewKind("iso", view));
    EXPECT_EQ(view, host::ViewKind::Iso);
    EXPECT_FALSE(host::ParseViewKind("back", view));
}


// The face paths of a picture in drawing order, each as its subpaths'
// corners in pixels ("M x y l dx dy ... z").
std::vector<std::vector<std::vector<std::pair<double, double>>>> FacePaths(const std::string& svg)
{
    std::vector<std::vector<std::vector<std::pair<double, double>>>> paths;
    const std::string start = "<path class=\"f";
    for (std::size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
        const std::size_t dStart = svg.find(" d=\"", at) + 4, dEnd = svg.find('"', dStart);
        const std::string d = svg.substr(dStart, dEnd - dStart);
        paths.emplace_back();
        double x = 0, y = 0;
        std::size_t numbers = 0;
        for (const char* c = d.c_str(); *c;) {
            if (*c == 'M')
                paths.back().emplace_back(), numbers = 0;
            if (std::isalpha(static_cast<unsigned char>(*c)) || *c == ' ') {
                ++c;
                continue;
            }
            char* end = nullptr;
            const double value = std::strtod(c, &end);
            c = end;
            if (numbers % 2 == 0)
                x = numbers == 0 ? value : x + value;
            else
                paths.back().back().emplace_back(x, y = numbers == 1 ? value : y + value);
            ++numbers;
        }
    }
    return paths;
}

// Whether a path covers a point under the nonzero rule.
bool Covers(const std::vector<std::vector<std::pair<double, double>>>& path, double x, double y)
{
    int winding = 0;
    for (const auto& ring : path) {
        for (std::size_t k = 0, j = ring.size() - 1; k < ring.size(); j = k++) {
            const auto& a = ring[j];
            const auto& b = ring[k];
            if ((a.second <= y) != (b.second <= y)) {
                const double crossX = a.first + (y - a.second) * (b.first - a.first) / (b.second - a.second);
                if (x < crossX)
                    winding += b.second > a.second ? 1 : -1;
            }
        }
    }
    return winding != 0;
}

// A box of 8 points seen from the iso view: every point of its outline is
// painted last by one of the three faces turned to the viewer, whatever
// its faces' order, and the one hidden corner gets no dot.
TEST(Svg, BoxesShowThreeFullFacesAndNoHiddenDots)
{
    for (bool reversed : {false, true}) {
        host::Document doc;
        host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "box"));
        for (int v = 0; v < 8; ++v)
            host::AddVertex(obj, host::Vec3{v & 1 ? 10.0f : -10.0f, v & 2 ? 10.0f : -10.0f, v & 4 ? 10.0f : -10.0f});
        std::vector<std::vector<int>> faces = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                               {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
        if (reversed)
            std::reverse(faces.begin(), faces.end());
        for (const auto& face : faces)
            host::AddFace(obj, face);
        host::SvgOptions options;
        options.view = host::ViewKind::Iso;
        const std::string svg = host::RenderSvg({{&doc, "box"}}, options);
        const auto paths = FacePaths(svg);
        ASSERT_GE(paths.size(), 3u);
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (const auto& path : paths)
            for (const auto& ring : path)
                for (const auto& p : ring) {
                    minX = std::min(minX, p.first), maxX = std::max(maxX, p.first);
                    minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
                }
        int covered = 0;
        for (int i = 1; i < 40; ++i)
            for (int j = 1; j < 40; ++j) {
                const double x = minX + (maxX - minX) * i / 40, y = minY + (maxY - minY) * j / 40;
                std::size_t last = paths.size();
                for (std::size_t p = 0; p < paths.size(); ++p)
                    if (Covers(paths[p], x, y))
                        last = p;
                if (last == paths.size())
                    continue;
                ++covered;
                EXPECT_GE(last + 3, paths.size()) << x << " " << y;
                EXPECT_EQ(paths[last].size(), 1u);
            }
        EXPECT_GT(covered, 40 * 40 / 2);
        EXPECT_EQ(Read(svg, false).subpaths["v"], 7u) << reversed;
    }
}

}  // namespace
