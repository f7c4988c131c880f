#include "host/program/svg.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

namespace host {

namespace {

constexpr double kPanelSize = 420.0;   // drawing area of one panel, pixels
constexpr double kMargin = 30.0;
constexpr double kTitleHeight = 58.0;
constexpr double kLegendHeight = 30.0;
constexpr double kDegree = 3.14159265358979323846 / 180;
constexpr int kShades = 12;            // face brightness levels
// Edges by how long they are drawn: faces of one level and one edge kind
// share a path. Short edges take the colour of their face, only closing the
// seams; long ones are dark, so that a small mesh reads as a wireframe.
constexpr int kEdgeKinds = 3;
constexpr double kEdgeLength[kEdgeKinds] = {0, 5, 12};   // pixels, the least of each kind
constexpr double kEdgeDarkness[kEdgeKinds] = {0, 0.5, 1};
constexpr double kEdgeWidth[kEdgeKinds] = {0.35, 0.5, 0.8};
constexpr double kDotSpacing = 12;     // pixels: a vertex with a shorter edge gets no dot or label
constexpr double kOutlinedEdge = 30;   // pixels: selected faces this large get a dashed outline

struct Projected {
    double x, y, depth;   // depth grows toward the viewer
    bool valid;           // false for a position with a NaN or infinite coordinate
};

Projected Project(const host::Vec3& p, ViewKind view, const float* m)
{
    const double x = p.x, y = p.y, z = p.z;
    Projected out{0, 0, 0, std::isfinite(x) && std::isfinite(y) && std::isfinite(z)};
    switch (view) {
    case ViewKind::Front:
        out = Projected{x, y, z, out.valid};
        break;
    case ViewKind::Top:
        out = Projected{x, -z, y, out.valid};
        break;
    case ViewKind::Side:
        out = Projected{-z, y, x, out.valid};
        break;
    case ViewKind::Iso: {
        // From the front, turned toward +x and looking down: the faces that
        // front, top and side look at, all at once; x and -z run right as
        // in front and side, y stays up. Not quite from (1, 1, 1), where a
        // box's near and far corners would fall on one point.
        const double turn = 35 * kDegree, tilt = 30 * kDegree;
        const double cosTurn = std::cos(turn), sinTurn = std::sin(turn);
        const double cosTilt = std::cos(tilt), sinTilt = std::sin(tilt);
        out = Projected{x * cosTurn - z * sinTurn,
                        y * cosTilt - (x * sinTurn + z * cosTurn) * sinTilt,
                        y * sinTilt + (x * sinTurn + z * cosTurn) * cosTilt, out.valid};
        break;
    }
    case ViewKind::Scene:
        out.x = x * m[0] + y * m[4] + z * m[8] + m[12];
        out.y = x * m[1] + y * m[5] + z * m[9] + m[13];
        out.depth = x * m[2] + y * m[6] + z * m[10] + m[14];
        out.valid = out.valid && std::isfinite(out.x) && std::isfinite(out.y) &&
                    std::isfinite(out.depth);
        break;
    }
    return out;
}

// The projected vertices of every object of a document, per object.
using DocumentProjection = std::vector<std::vector<Projected>>;

DocumentProjection ProjectDocument(const host::Document& doc, ViewKind view)
{
    DocumentProjection out(doc.objects.size());
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        for (const host::Vec3& v : doc.objects[o]->vertices)
            out[o].push_back(Project(v, view, doc.scene.view));
    }
    return out;
}

const Projected* Corner(const std::vector<Projected>& vertices, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= vertices.size() ||
        !vertices[static_cast<std::size_t>(index)].valid)
        return nullptr;
    return &vertices[static_cast<std::size_t>(index)];
}

// A face with a missing corner or one that is not a number is not drawn.
bool Drawable(const host::Face& face, const std::vector<Projected>& vertices)
{
    for (int p : face.points)
        if (!Corner(vertices, p))
            return false;
    return !face.points.empty();
}

bool LineSelected(const host::Face& face, std::size_t k)
{
    return k < face.lineSelected.size() && face.lineSelected[k];
}

struct Bounds {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
};

void Extend(Bounds& bounds, const Projected* p)
{
    if (!p || !p->valid)
        return;
    if (!bounds.any) {
        bounds = Bounds{p->x, p->y, p->x, p->y, true};
        return;
    }
    bounds.minX = std::min(bounds.minX, p->x);
    bounds.maxX = std::max(bounds.maxX, p->x);
    bounds.minY = std::min(bounds.minY, p->y);
    bounds.maxY = std::max(bounds.maxY, p->y);
}

double Extent(const Bounds& bounds)
{
    return std::max(bounds.maxX - bounds.minX, bounds.maxY - bounds.minY);
}

// What the frame fits, over every panel: the corners of the faces and lines
// (vertices no face uses stay out, unless there is no face at all), or the
// selected faces, lines and vertices.
Bounds FitBounds(const std::vector<SvgPanel>& panels,
                 const std::vector<DocumentProjection>& projected, FitKind fit)
{
    Bounds bounds;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const host::Document& doc = *panels[i].doc;
        for (std::size_t o = 0; o < doc.objects.size(); ++o) {
            if (!doc.objects[o])
                continue;
            const host::Object& obj = *doc.objects[o];
            const std::vector<Projected>& vertices = projected[i][o];
            for (const host::Face& face : obj.faces) {
                const std::size_t n = face.points.size();
                if ((fit == FitKind::All || face.selected) && Drawable(face, vertices))
                    for (int p : face.points)
                        Extend(bounds, Corner(vertices, p));
                for (std::size_t k = 0; fit == FitKind::Selection && n >= 2 && k < n; ++k) {
                    if (LineSelected(face, k)) {
                        Extend(bounds, Corner(vertices, face.points[k]));
                        Extend(bounds, Corner(vertices, face.points[(k + 1) % n]));
                    }
                }
            }
            for (std::size_t v = 0; v < vertices.size(); ++v) {
                const bool selected = v < obj.vertexSelected.size() && obj.vertexSelected[v];
                if (fit == FitKind::Selection && selected)
                    Extend(bounds, &vertices[v]);
            }
        }
    }
    if (fit == FitKind::All && !bounds.any) {
        for (const DocumentProjection& doc : projected)
            for (const std::vector<Projected>& vertices : doc)
                for (const Projected& p : vertices)
                    Extend(bounds, &p);
    }
    return bounds;
}

double Clamp(double value, double low, double high) { return std::min(high, std::max(low, value)); }

// Maps model units to the pixels of one panel (y grows downward in SVG).
struct Mapping {
    double scale, centreX, centreY, panelX, panelY;
    double X(double x) const { return panelX + kPanelSize / 2 + (x - centreX) * scale; }
    double Y(double y) const { return panelY + kPanelSize / 2 - (y - centreY) * scale; }
};

// `fallbackExtent` is shown across the panel when the bounds are one point.
Mapping MakeMapping(const Bounds& bounds, double fallbackExtent)
{
    double extent = Extent(bounds);
    if (!(extent > 0) || !std::isfinite(extent))
        extent = fallbackExtent > 0 && std::isfinite(fallbackExtent) ? fallbackExtent : kPanelSize;
    return Mapping{kPanelSize / extent, (bounds.minX + bounds.maxX) / 2,
                   (bounds.minY + bounds.maxY) / 2, 0, 0};
}

// The mean length of the drawn edges and lines on the view plane, in model
// units; 0 when nothing is drawn.
double MeanEdgeLength(const std::vector<SvgPanel>& panels,
                      const std::vector<DocumentProjection>& projected)
{
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const host::Document& doc = *panels[i].doc;
        for (std::size_t o = 0; o < doc.objects.size(); ++o) {
            if (!doc.objects[o])
                continue;
            for (const host::Face& face : doc.objects[o]->faces) {
                const std::size_t n = face.points.size();
                if (n < 2 || !Drawable(face, projected[i][o]))
                    continue;
                for (std::size_t k = 0; k < (n == 2 ? 1 : n); ++k) {
                    const Projected* a = Corner(projected[i][o], face.points[k]);
                    const Projected* b = Corner(projected[i][o], face.points[(k + 1) % n]);
                    sum += std::hypot(a->x - b->x, a->y - b->y);
                    ++count;
                }
            }
        }
    }
    return count > 0 ? sum / static_cast<double>(count) : 0.0;
}

// Widths and sizes in pixels for a mesh whose edges are drawn `edge` pixels
// long on average, with `selectedSpacing` pixels between selected vertices
// were they spread evenly: dots only where they stay apart.
struct Style {
    double lineWidth, selectedLineWidth, dotRadius, selectedRadius;
    bool vertexDots;
};

Style StyleFor(double edge, double selectedSpacing)
{
    Style style;
    style.lineWidth = Clamp(edge / 8, 0.5, 1.5);
    style.selectedLineWidth = Clamp(edge / 4, 1.5, 4.0);
    style.dotRadius = Clamp(edge / 10, 1.0, 2.0);
    style.selectedRadius = Clamp(std::max(edge / 4, selectedSpacing / 8), 2.0, 5.0);
    style.vertexDots = edge >= 30;
    return style;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string out = text;
    while (out.back() == '0')
        out.pop_back();
    if (out.back() == '.')
        out.pop_back();
    return out == "-0" ? "0" : out;
}

// Pixel positions in path data are whole tenths: "12.3", ".5", "-4". A
// corner far outside the frame (zoomed to a small selection) is pulled in
// to a hundred million pixels, where no difference shows in the frame and
// steps between corners cannot overflow.
long long Tenths(double pixels) { return std::llround(Clamp(pixels, -1e8, 1e8) * 10); }

void AppendTenths(std::string& out, long long tenths, bool separate)
{
    if (tenths < 0) {
        out += '-';
        tenths = -tenths;
    } else if (separate) {
        out += ' ';
    }
    const long long whole = tenths / 10, fraction = tenths % 10;
    if (whole != 0 || fraction == 0)
        out += std::to_string(whole);
    if (fraction != 0) {
        out += '.';
        out += static_cast<char>('0' + fraction);
    }
}

// "M x y" then relative steps: the shortest path data for a run of points.
void AppendPath(std::string& out, const long long* xs, const long long* ys, std::size_t n,
                bool close)
{
    out += 'M';
    AppendTenths(out, xs[0], false);
    AppendTenths(out, ys[0], true);
    for (std::size_t k = 1; k < n; ++k) {
        out += k == 1 ? "l" : "";
        AppendTenths(out, xs[k] - xs[k - 1], k > 1);
        AppendTenths(out, ys[k] - ys[k - 1], true);
    }
    if (close)
        out += 'z';
}

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

struct Rgb {
    double r, g, b;
};

constexpr Rgb kFaceColour{201, 214, 232}, kSelectedColour{245, 166, 35}, kEdgeColour{74, 90, 112};

Rgb Mix(Rgb a, Rgb b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::string Hex(Rgb c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(Clamp(c.r, 0, 255) + 0.5),
                  static_cast<int>(Clamp(c.g, 0, 255) + 0.5), static_cast<int>(Clamp(c.b, 0, 255) + 0.5));
    return text;
}

// Faces turned away from the viewer are darker, down to about half.
Rgb Shaded(Rgb colour, int level)
{
    const double light = 0.45 + 0.55 * level / (kShades - 1);
    return Rgb{colour.r * light, colour.g * light, colour.b * light};
}

// "f" or "s", the brightness level, and a letter for the edge kind.
std::string FaceClass(bool selected, int look)
{
    return (selected ? "s" : "f") + std::to_string(look / kEdgeKinds) +
           static_cast<char>('a' + look % kEdgeKinds);
}

std::string StyleSheet(const Style& style)
{
    std::string out = "<style>\n"
                      "  text { font-family: sans-serif; fill: #222; }\n"
                      "  .t { font-size: 15px; font-weight: bold; } .s { font-size: 11px; fill: #555; }\n"
                      "  .lb { font-size: 10px; fill: #444; }\n"
                      "  path { stroke-linejoin: round; stroke-linecap: round; }\n";
    for (int selected = 0; selected < 2; ++selected) {
        for (int level = 0; level < kShades; ++level) {
            const Rgb fill = Shaded(selected ? kSelectedColour : kFaceColour, level);
            for (int kind = 0; kind < kEdgeKinds; ++kind)
                out += "  ." + FaceClass(selected, level * kEdgeKinds + kind) + " { fill: " +
                       Hex(fill) + "; stroke: " + Hex(Mix(fill, kEdgeColour, kEdgeDarkness[kind])) +
                       "; stroke-width: " + Number(kEdgeWidth[kind]) + "; }\n";
        }
    }
    out += "  .so { fill: none; stroke: #c47500; stroke-width: 1.5; stroke-dasharray: 6 3; }\n"
           "  .l { fill: none; stroke: #333; stroke-width: " + Number(style.lineWidth) + "; }\n"
           "  .sl { fill: none; stroke: #d62728; stroke-width: " +
           Number(style.selectedLineWidth) + "; }\n"
           "  .v { fill: none; stroke: #333; stroke-width: " + Number(2 * style.dotRadius) + "; }\n"
           "  .svr { fill: none; stroke: white; stroke-width: " +
           Number(2 * style.selectedRadius + (style.selectedRadius >= 3 ? 3 : 0)) + "; }\n"
           "  .sv { fill: none; stroke: #1f5fd6; stroke-width: " +
           Number(2 * style.selectedRadius) + "; }\n"
           "  .kf { fill: #f5a623; stroke: #4a5a70; } .kl { stroke: #d62728; stroke-width: 4; "
           "stroke-linecap: round; } .kv { fill: #1f5fd6; stroke: white; stroke-width: 1.5; }\n"
           "</style>\n";
    return out;
}

struct DrawnFace {
    double depth;   // of its middle
    double span;    // from its farthest corner to its nearest
    int look;       // brightness level times kEdgeKinds plus edge kind
    std::string path;
    std::size_t corner = 0;   // where its corners start in FaceSet::corners, when tested
    std::size_t count = 0;    // how many corners it has there; 0 = a large face, not tested
};

// The panel's frame, where its drawing is clipped.
struct Frame {
    double left, top, size;
    bool Contains(double x, double y) const
    {
        return x >= left && x <= left + size && y >= top && y <= top + size;
    }
};

Frame FrameOf(const Mapping& mapping)
{
    return Frame{mapping.panelX - kMargin / 2, mapping.panelY - kMargin / 2, kPanelSize + kMargin};
}

// The faces of one kind (selected or not) of one panel, as they are found.
// A small face is kept only where it is at the front at one sample point
// at least (a half-pixel grid over the frame), or at the sample point
// nearest its middle when it covers none: the hidden side of a closed mesh
// goes. At the front means no farther behind the sample's nearest face
// than the face's own depth, so that thin faces of a surface seen at a
// slant stay. Past a few hundred thousand faces (strict), only the nearest
// face at each whole pixel stays, so that millions of faces make a picture
// of at most as many faces as the frame has pixels. Large faces are few and
// always kept.
struct FaceSet {
    static constexpr long long kSmall = 160;   // tenths of a pixel, each way

    Frame frame;
    int samples = 2;       // per pixel, each way
    bool strict = false;   // only the nearest face at each sample stays
    // Faces of one look that follow each other share a path: for dense
    // meshes only, whose edges take their faces' colour. A sparse mesh's
    // dark edges would show a far face's outline through a near face.
    bool shareRuns = true;
    std::vector<DrawnFace> faces;
    std::vector<int> corners;   // x and y in tenths of a pixel, of the small faces
    std::vector<double> nearest;
    std::vector<int> owner;     // per sample: index into faces, or -1

    int Side() const { return static_cast<int>(frame.size) * samples; }

    // The sample column or row nearest a position in tenths, within the frame.
    int Nearest(double tenths, double origin) const
    {
        return static_cast<int>(Clamp(std::floor((tenths / 10 - origin) * samples), 0, Side() - 1));
    }

    // Calls visit(sample index) for each sample inside the face, or for the
    // one nearest its middle when none is.
    template <typename Visit>
    void ForEachSample(const DrawnFace& face, Visit visit) const
    {
        const int* xy = corners.data() + face.corner;
        double minX = xy[0], maxX = xy[0], minY = xy[1], maxY = xy[1];
        for (std::size_t k = 1; k < face.count; ++k) {
            minX = std::min<double>(minX, xy[2 * k]);
            maxX = std::max<double>(maxX, xy[2 * k]);
            minY = std::min<double>(minY, xy[2 * k + 1]);
            maxY = std::max<double>(maxY, xy[2 * k + 1]);
        }
        const auto at = [this](int i, int j) {
            return static_cast<std::size_t>(j) * static_cast<std::size_t>(Side()) + static_cast<std::size_t>(i);
        };
        bool any = false;
        for (int j = Nearest(minY, frame.top); j <= Nearest(maxY, frame.top); ++j) {
            for (int i = Nearest(minX, frame.left); i <= Nearest(maxX, frame.left); ++i) {
                if (Inside(xy, face.count, (frame.left + (i + 0.5) / samples) * 10,
                           (frame.top + (j + 0.5) / samples) * 10)) {
                    visit(at(i, j));
                    any = true;
                }
            }
        }
        if (!any)
            visit(at(Nearest((minX + maxX) / 2, frame.left), Nearest((minY + maxY) / 2, frame.top)));
    }

    void Add(DrawnFace face, const long long* xs, const long long* ys, std::size_t n)
    {
        const long long minX = *std::min_element(xs, xs + n), maxX = *std::max_element(xs, xs + n);
        const long long minY = *std::min_element(ys, ys + n), maxY = *std::max_element(ys, ys + n);
        faces.push_back(std::move(face));
        if (maxX - minX > kSmall || maxY - minY > kSmall)
            return;
        DrawnFace& added = faces.back();
        added.corner = corners.size();
        added.count = n;
        for (std::size_t k = 0; k < n; ++k) {
            corners.push_back(static_cast<int>(xs[k]));   // within a billion: see Tenths
            corners.push_back(static_cast<int>(ys[k]));
        }
        if (owner.empty()) {
            owner.assign(static_cast<std::size_t>(Side()) * static_cast<std::size_t>(Side()), -1);
            nearest.assign(owner.size(), 0.0);
        }
        const int index = static_cast<int>(faces.size() - 1);
        ForEachSample(added, [&](std::size_t sample) {
            if (owner[sample] < 0 || added.depth > nearest[sample]) {
                owner[sample] = index;
                nearest[sample] = added.depth;
            }
        });
    }

    // Far faces first, so that near ones cover them (painter's order); a run
    // of faces of one look is one path.
    std::string Paths(bool selected) const
    {
        std::vector<bool> kept(faces.size());
        for (std::size_t f = 0; f < faces.size(); ++f)
            kept[f] = faces[f].count == 0;
        for (int f : owner)
            if (f >= 0)
                kept[static_cast<std::size_t>(f)] = true;
        for (std::size_t f = 0; f < faces.size() && !strict; ++f) {
            const DrawnFace& face = faces[f];
            if (!kept[f])
                ForEachSample(face, [&](std::size_t sample) {
                    kept[f] = kept[f] || nearest[sample] - face.depth <= face.span;
                });
        }
        std::vector<std::size_t> order;
        for (std::size_t f = 0; f < faces.size(); ++f)
            if (kept[f])
                order.push_back(f);
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            return faces[a].depth < faces[b].depth;
        });
        std::string out;
        for (std::size_t i = 0; i < order.size();) {
            const int look = faces[order[i]].look;
            out += "<path class=\"" + FaceClass(selected, look) + "\" d=\"";
            out += faces[order[i++]].path;
            for (; shareRuns && i < order.size() && faces[order[i]].look == look; ++i)
                out += faces[order[i]].path;
            out += "\"/>\n";
        }
        return out;
    }

    // Crossing count of a ray from the point to the right.
    static bool Inside(const int* xy, std::size_t n, double x, double y)
    {
        bool inside = false;
        for (std::size_t k = 0, j = n - 1; k < n; j = k++) {
            const double xk = xy[2 * k], yk = xy[2 * k + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yk > y) != (yj > y) && x < (xj - xk) * (y - yk) / (yj - yk) + xk)
                inside = !inside;
        }
        return inside;
    }
};

// Adds one face of three or more points, shaded by the angle it makes with
// the view, unless it lies wholly outside the frame; its path is also added
// to `outline` when given and the face is large enough for a dashed line.
void AddFace(const host::Face& face, const std::vector<Projected>& vertices, const Mapping& mapping,
             const Frame& frame, FaceSet& set, std::string* outline)
{
    const std::size_t n = face.points.size();
    assert(n >= 3);
    long long xsSmall[4], ysSmall[4];
    std::vector<long long> xsLarge, ysLarge;
    if (n > 4) {
        xsLarge.resize(n);
        ysLarge.resize(n);
    }
    long long* xs = n > 4 ? xsLarge.data() : xsSmall;
    long long* ys = n > 4 ? ysLarge.data() : ysSmall;
    double depth = 0, nearest = -INFINITY, farthest = INFINITY, nx = 0, ny = 0, nz = 0, perimeter = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const Projected& a = *Corner(vertices, face.points[k]);
        const Projected& b = *Corner(vertices, face.points[(k + 1) % n]);
        xs[k] = Tenths(mapping.X(a.x));
        ys[k] = Tenths(mapping.Y(a.y));
        depth += a.depth;
        nearest = std::max(nearest, a.depth);
        farthest = std::min(farthest, a.depth);
        perimeter += std::hypot(mapping.X(a.x) - mapping.X(b.x), mapping.Y(a.y) - mapping.Y(b.y));
        // Newell's normal, in view space.
        nx += (a.y - b.y) * (a.depth + b.depth);
        ny += (a.depth - b.depth) * (a.x + b.x);
        nz += (a.x - b.x) * (a.y + b.y);
    }
    const long long minX = *std::min_element(xs, xs + n), maxX = *std::max_element(xs, xs + n);
    const long long minY = *std::min_element(ys, ys + n), maxY = *std::max_element(ys, ys + n);
    const double left = frame.left * 10, top = frame.top * 10, size = frame.size * 10;
    if (static_cast<double>(maxX) < left || static_cast<double>(minX) > left + size ||
        static_cast<double>(maxY) < top || static_cast<double>(minY) > top + size)
        return;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double facing = length > 0 && std::isfinite(length) ? std::fabs(nz) / length : 0.0;
    int kind = kEdgeKinds - 1;
    while (kind > 0 && perimeter / static_cast<double>(n) < kEdgeLength[kind])
        --kind;
    const int level = static_cast<int>(std::lround(facing * (kShades - 1)));
    DrawnFace drawn{depth / static_cast<double>(n), nearest - farthest, level * kEdgeKinds + kind,
                    std::string()};
    // Every outline runs one way round on screen, so that faces sharing a
    // path add up under the nonzero rule instead of cancelling where they
    // overlap (a box's back face cut a hole into the front one).
    long long area = 0;
    for (std::size_t k = 0; k < n; ++k)
        area += xs[k] * ys[(k + 1) % n] - xs[(k + 1) % n] * ys[k];
    if (area < 0) {
        std::reverse(xs, xs + n);
        std::reverse(ys, ys + n);
    }
    AppendPath(drawn.path, xs, ys, n, true);
    if (outline && perimeter / static_cast<double>(n) >= kOutlinedEdge)
        *outline += drawn.path;
    set.Add(std::move(drawn), xs, ys, n);
}

// Round caps draw a line seen end-on as a dot in its colour.
void AddSegment(std::string& path, const Mapping& mapping, const Projected& a, const Projected& b)
{
    const long long xs[2] = {Tenths(mapping.X(a.x)), Tenths(mapping.X(b.x))};
    const long long ys[2] = {Tenths(mapping.Y(a.y)), Tenths(mapping.Y(b.y))};
    AppendPath(path, xs, ys, 2, false);
}

// A dot is a zero-length stroke with round caps: one path holds them all.
void AddDot(std::string& path, const Mapping& mapping, const Projected& p)
{
    const long long xs[1] = {Tenths(mapping.X(p.x))}, ys[1] = {Tenths(mapping.Y(p.y))};
    AppendPath(path, xs, ys, 1, false);
    path += "h0";
}

std::string PathElement(const char* cls, const std::string& data)
{
    return data.empty() ? std::string() : std::string("<path class=\"") + cls + "\" d=\"" + data + "\"/>\n";
}

// A face as it may hide a vertex: its corners in view space and its plane.
struct Occluder {
    int object;
    std::vector<int> points;
    std::vector<double> xs, ys;
    double minX, maxX, minY, maxY;
    double ax, ay, ad, nx, ny, nz;   // a corner, and the normal (nz toward the viewer)
};

// The polygons of every object that can hide a vertex (not seen edge-on).
std::vector<Occluder> Occluders(const host::Document& doc, const DocumentProjection& all)
{
    std::vector<Occluder> out;
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        for (const host::Face& face : doc.objects[o]->faces) {
            const std::size_t n = face.points.size();
            if (n < 3 || !Drawable(face, all[o]))
                continue;
            Occluder occluder{static_cast<int>(o), std::vector<int>(face.points.begin(), face.points.end()),
                              {}, {}, INFINITY, -INFINITY, INFINITY, -INFINITY, 0, 0, 0, 0, 0, 0};
            for (std::size_t k = 0; k < n; ++k) {
                const Projected& a = *Corner(all[o], face.points[k]);
                const Projected& b = *Corner(all[o], face.points[(k + 1) % n]);
                occluder.xs.push_back(a.x);
                occluder.ys.push_back(a.y);
                occluder.minX = std::min(occluder.minX, a.x);
                occluder.maxX = std::max(occluder.maxX, a.x);
                occluder.minY = std::min(occluder.minY, a.y);
                occluder.maxY = std::max(occluder.maxY, a.y);
                occluder.nx += (a.y - b.y) * (a.depth + b.depth);
                occluder.ny += (a.depth - b.depth) * (a.x + b.x);
                occluder.nz += (a.x - b.x) * (a.y + b.y);
            }
            const Projected& first = *Corner(all[o], face.points[0]);
            occluder.ax = first.x;
            occluder.ay = first.y;
            occluder.ad = first.depth;
            const double length = std::sqrt(occluder.nx * occluder.nx + occluder.ny * occluder.ny +
                                            occluder.nz * occluder.nz);
            if (length > 0 && std::fabs(occluder.nz) > 1e-3 * length)
                out.push_back(std::move(occluder));
        }
    }
    return out;
}

// Whether a face that does not hold the vertex lies in front of it.
bool Hidden(const std::vector<Occluder>& occluders, int object, int vertex, const Projected& p)
{
    for (const Occluder& face : occluders) {
        if (p.x < face.minX || p.x > face.maxX || p.y < face.minY || p.y > face.maxY ||
            (face.object == object &&
             std::find(face.points.begin(), face.points.end(), vertex) != face.points.end()))
            continue;
        bool inside = false;
        const std::size_t n = face.xs.size();
        for (std::size_t k = 0, j = n - 1; k < n; j = k++) {
            if ((face.ys[k] > p.y) != (face.ys[j] > p.y) &&
                p.x < (face.xs[j] - face.xs[k]) * (p.y - face.ys[k]) / (face.ys[j] - face.ys[k]) + face.xs[k])
                inside = !inside;
        }
        if (!inside)
            continue;
        const double depth = face.ad - (face.nx * (p.x - face.ax) + face.ny * (p.y - face.ay)) / face.nz;
        const double extent = std::max(face.maxX - face.minX, face.maxY - face.minY);
        if (depth > p.depth + 1e-6 * std::max(extent, 1.0))
            return true;
    }
    return false;
}

std::string RenderPanel(const host::Document& doc, const DocumentProjection& all,
                        const Mapping& mapping, const Style& style, const SvgOptions& options)
{
    const Frame frame = FrameOf(mapping);
    FaceSet faces, selectedFaces;
    faces.frame = selectedFaces.frame = frame;
    // Past a few hundred thousand faces, the nearest face at each pixel
    // keeps the picture small, at the cost of gaps seen when zoomed in.
    std::size_t count = 0;
    for (const auto& obj : doc.objects)
        count += obj ? obj->faces.size() : 0;
    faces.strict = selectedFaces.strict = count > 300000;
    faces.samples = selectedFaces.samples = faces.strict ? 1 : 2;
    faces.shareRuns = selectedFaces.shareRuns = !style.vertexDots;
    const std::vector<Occluder> occluders =
        style.vertexDots ? Occluders(doc, all) : std::vector<Occluder>();
    std::string outlines, lines, selectedLines, dots, selectedDots, labels;
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        const host::Object& obj = *doc.objects[o];
        const std::vector<Projected>& projected = all[o];
        // Per vertex, its shortest edge in pixels: where dots would merge.
        std::vector<double> shortest(projected.size(), INFINITY);
        for (const host::Face& face : obj.faces) {
            const std::size_t n = face.points.size();
            if (n >= 3 && Drawable(face, projected)) {
                AddFace(face, projected, mapping, frame, face.selected ? selectedFaces : faces,
                        face.selected ? &outlines : nullptr);
            }
            for (std::size_t k = 0; k < n && n >= 2; ++k) {
                const Projected* a = Corner(projected, face.points[k]);
                const Projected* b = Corner(projected, face.points[(k + 1) % n]);
                if (a && b) {
                    const double length = std::hypot(a->x - b->x, a->y - b->y) * mapping.scale;
                    for (int p : {face.points[k], face.points[(k + 1) % n]})
                        shortest[static_cast<std::size_t>(p)] =
                            std::min(shortest[static_cast<std::size_t>(p)], length);
                }
                if (a && b && LineSelected(face, k))
                    AddSegment(selectedLines, mapping, *a, *b);
                else if (a && b && n == 2 && k == 0)
                    AddSegment(lines, mapping, *a, *b);
                if (n == 2)
                    break;   // a two-point face has one line to draw
            }
        }
        for (std::size_t v = 0; v < projected.size(); ++v) {
            const Projected& p = projected[v];
            if (!p.valid || !frame.Contains(mapping.X(p.x), mapping.Y(p.y)))
                continue;
            const bool selected = v < obj.vertexSelected.size() && obj.vertexSelected[v];
            if (selected)
                AddDot(selectedDots, mapping, p);
            else if (style.vertexDots && shortest[v] >= kDotSpacing &&
                     !Hidden(occluders, static_cast<int>(o), static_cast<int>(v), p))
                AddDot(dots, mapping, p);
            if (options.vertexLabels && shortest[v] >= kDotSpacing)
                labels += "<text x=\"" + Number(mapping.X(p.x) + 6) + "\" y=\"" +
                          Number(mapping.Y(p.y) - 6) + "\" class=\"lb\">" +
                          (doc.objects.size() > 1 ? std::to_string(o) + ":" : "") +
                          std::to_string(v) + "</text>\n";
        }
    }
    // The selection is drawn over everything else, so that nothing hides it.
    return faces.Paths(false) + PathElement("l", lines) + selectedFaces.Paths(true) +
           PathElement("so", outlines) + PathElement("sl", selectedLines) + PathElement("v", dots) +
           PathElement("svr", selectedDots) + PathElement("sv", selectedDots) + labels;
}

std::string Summary(const host::Document& doc)
{
    std::size_t vertices = 0, faces = 0, selected = 0;
    for (const auto& obj : doc.objects) {
        if (!obj)
            continue;
        vertices += obj->vertices.size();
        for (const host::Face& face : obj->faces)
            faces += face.points.empty() ? 0 : 1;
        for (unsigned char flag : obj->vertexSelected)
            selected += flag ? 1 : 0;
    }
    return std::to_string(vertices) + " vertices, " + std::to_string(faces) + " faces, " +
           std::to_string(selected) + " selected vertices";
}

const char* ViewName(ViewKind view)
{
    switch (view) {
    case ViewKind::Front: return "front view (x right, y up)";
    case ViewKind::Top: return "top view (x right, -z up)";
    case ViewKind::Side: return "side view (-z right, y up)";
    case ViewKind::Iso: return "iso view (from front right above, y up)";
    case ViewKind::Scene: return "scene view";
    }
    return "";
}

}  // namespace

bool ParseViewKind(const std::string& text, ViewKind& view)
{
    static const std::pair<const char*, ViewKind> kNames[] = {
        {"front", ViewKind::Front}, {"top", ViewKind::Top}, {"side", ViewKind::Side},
        {"iso", ViewKind::Iso}, {"scene", ViewKind::Scene}};
    for (const auto& name : kNames) {
        if (text == name.first) {
            view = name.second;
            return true;
        }
    }
    return false;
}

bool ParseFitKind(const std::string& text, FitKind& fit)
{
    if (text != "all" && text != "selection")
        return false;
    fit = text == "all" ? FitKind::All : FitKind::Selection;
    return true;
}

std::string RenderSvg(const std::vector<SvgPanel>& panels, const SvgOptions& options,
                      std::string* note)
{
    // One scale for all panels: the bounds of what is drawn (or selected).
    std::vector<DocumentProjection> projected;
    for (const SvgPanel& panel : panels)
        projected.push_back(ProjectDocument(*panel.doc, options.view));
    const Bounds all = FitBounds(panels, projected, FitKind::All);
    Bounds bounds = all;
    bool zoomed = false;
    if (note)
        note->clear();
    if (options.fit == FitKind::Selection) {
        const Bounds selection = FitBounds(panels, projected, FitKind::Selection);
        zoomed = selection.any;
        if (zoomed)
            bounds = selection;
        else if (note)
            *note = "nothing is selected: the picture shows everything";
    }
    // A single selected point is shown with a tenth of the whole around it.
    const Mapping shared = MakeMapping(bounds, zoomed ? Extent(all) / 10 : kPanelSize);
    std::size_t vertices = 0, selected = 0;   // the most of any panel
    for (const SvgPanel& panel : panels) {
        std::size_t panelVertices = 0, panelSelected = 0;
        for (const auto& obj : panel.doc->objects) {
            panelVertices += obj ? obj->vertices.size() : 0;
            for (std::size_t v = 0; obj && v < obj->vertexSelected.size(); ++v)
                panelSelected += obj->vertexSelected[v] ? 1 : 0;
        }
        vertices = std::max(vertices, panelVertices);
        selected = std::max(selected, panelSelected);
    }
    // Points spread evenly over the panel, when there are no edges to go by.
    const auto spacing = [](std::size_t count) {
        return kPanelSize / std::sqrt(static_cast<double>(std::max<std::size_t>(count, 1)));
    };
    double edge = MeanEdgeLength(panels, projected) * shared.scale;
    if (!(edge > 0) || !std::isfinite(edge))
        edge = spacing(vertices);
    const Style style = StyleFor(edge, spacing(selected));
    const double panelWidth = kPanelSize + 2 * kMargin;
    const double width = panelWidth * static_cast<double>(std::max<std::size_t>(panels.size(), 1));
    const double height = kTitleHeight + kPanelSize + 2 * kMargin + kLegendHeight;

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" +
           Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
    out += StyleSheet(style);
    out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const double left = panelWidth * static_cast<double>(i);
        Mapping mapping = shared;
        mapping.panelX = left + kMargin;
        mapping.panelY = kTitleHeight + kMargin;
        const Frame frame = FrameOf(mapping);
        const std::string box = "x=\"" + Number(frame.left) + "\" y=\"" + Number(frame.top) +
                                "\" width=\"" + Number(frame.size) + "\" height=\"" +
                                Number(frame.size) + "\"";
        const std::string clip = "c" + std::to_string(i);
        out += "<clipPath id=\"" + clip + "\"><rect " + box + "/></clipPath>\n";
        out += "<text x=\"" + Number(left + kMargin) + "\" y=\"20\" class=\"t\">" +
               Escape(panels[i].title) + "</text>\n";
        out += "<text x=\"" + Number(left + kMargin) + "\" y=\"38\" class=\"s\">" +
               Escape(Summary(*panels[i].doc)) + "</text>\n";
        out += "<text x=\"" + Number(left + kMargin) + "\" y=\"52\" class=\"s\">" +
               ViewName(options.view) + (zoomed ? ", zoomed to the selection" : "") + "</text>\n";
        out += "<rect " + box + " fill=\"none\" stroke=\"#ddd\"/>\n";
        out += "<g clip-path=\"url(#" + clip + ")\">\n";
        out += RenderPanel(*panels[i].doc, projected[i], mapping, style, options);
        out += "</g>\n";
    }
    const double legendY = height - kLegendHeight / 2;
    out += "<g class=\"legend\">\n"
           "<rect x=\"" + Number(kMargin) + "\" y=\"" + Number(legendY - 9) +
           "\" width=\"16\" height=\"12\" class=\"kf\"/>\n"
           "<text x=\"" + Number(kMargin + 22) + "\" y=\"" + Number(legendY + 2) +
           "\" class=\"s\">selected face</text>\n"
           "<line x1=\"" + Number(kMargin + 120) + "\" y1=\"" + Number(legendY - 3) + "\" x2=\"" +
           Number(kMargin + 140) + "\" y2=\"" + Number(legendY - 3) + "\" class=\"kl\"/>\n"
           "<text x=\"" + Number(kMargin + 146) + "\" y=\"" + Number(legendY + 2) +
           "\" class=\"s\">selected line</text>\n"
           "<circle cx=\"" + Number(kMargin + 245) + "\" cy=\"" + Number(legendY - 3) +
           "\" r=\"5\" class=\"kv\"/>\n"
           "<text x=\"" + Number(kMargin + 254) + "\" y=\"" + Number(legendY + 2) +
           "\" class=\"s\">selected vertex</text>\n"
           "</g>\n";
    return out + "</svg>\n";
}

}  // namespace host
