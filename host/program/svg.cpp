#include "host/program/svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hostapp {

namespace {

constexpr double kPanelSize = 420.0;   // drawing area of one panel, pixels
constexpr double kMargin = 30.0;
constexpr double kTitleHeight = 44.0;
constexpr double kLegendHeight = 30.0;

struct Projected {
    double x, y, depth;
    bool valid;   // false for a position with a NaN or infinite coordinate
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
std::vector<std::vector<Projected>> ProjectDocument(const host::Document& doc, ViewKind view)
{
    std::vector<std::vector<Projected>> out(doc.objects.size());
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        for (const host::Vec3& v : doc.objects[o]->vertices)
            out[o].push_back(Project(v, view, doc.scene.view));
    }
    return out;
}

struct Bounds {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
};

void Extend(Bounds& bounds, const Projected& p)
{
    if (!p.valid)
        return;
    if (!bounds.any) {
        bounds = Bounds{p.x, p.y, p.x, p.y, true};
        return;
    }
    bounds.minX = std::min(bounds.minX, p.x);
    bounds.maxX = std::max(bounds.maxX, p.x);
    bounds.minY = std::min(bounds.minY, p.y);
    bounds.maxY = std::max(bounds.maxY, p.y);
}

// Maps model units to the pixels of one panel (y grows downward in SVG).
struct Mapping {
    double scale, centreX, centreY, panelX, panelY;
    double X(double x) const { return panelX + kPanelSize / 2 + (x - centreX) * scale; }
    double Y(double y) const { return panelY + kPanelSize / 2 - (y - centreY) * scale; }
};

Mapping MakeMapping(const Bounds& bounds)
{
    const double width = bounds.maxX - bounds.minX, height = bounds.maxY - bounds.minY;
    const double extent = std::max(width, height);
    // A single point or nothing: any scale shows it in the middle.
    const double scale = extent > 0 && std::isfinite(extent) ? kPanelSize / extent : 1.0;
    return Mapping{scale, (bounds.minX + bounds.maxX) / 2, (bounds.minY + bounds.maxY) / 2, 0, 0};
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
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

// The face's corners on the panel; false when a corner is missing or not a
// number (such a face is not drawn).
bool FaceCorners(const host::Face& face, const std::vector<Projected>& vertices,
                 const Mapping& mapping, std::string& points, double& depth)
{
    points.clear();
    depth = 0;
    for (int p : face.points) {
        if (p < 0 || static_cast<std::size_t>(p) >= vertices.size() ||
            !vertices[static_cast<std::size_t>(p)].valid)
            return false;
        const Projected& v = vertices[static_cast<std::size_t>(p)];
        points += (points.empty() ? "" : " ") + Number(mapping.X(v.x)) + "," + Number(mapping.Y(v.y));
        depth += v.depth;
    }
    depth /= static_cast<double>(face.points.size());
    return !face.points.empty();
}

bool Corner(const std::vector<Projected>& vertices, int index, Projected& out)
{
    if (index < 0 || static_cast<std::size_t>(index) >= vertices.size())
        return false;
    out = vertices[static_cast<std::size_t>(index)];
    return out.valid;
}

std::string Segment(const Mapping& mapping, const Projected& a, const Projected& b,
                    const char* style)
{
    // A line seen end-on would vanish: draw it as a dot in its colour.
    if (std::fabs(mapping.X(a.x) - mapping.X(b.x)) < 1 && std::fabs(mapping.Y(a.y) - mapping.Y(b.y)) < 1)
        return "<circle cx=\"" + Number(mapping.X(a.x)) + "\" cy=\"" + Number(mapping.Y(a.y)) +
               "\" r=\"4\" " + style + "/>\n";
    return "<line x1=\"" + Number(mapping.X(a.x)) + "\" y1=\"" + Number(mapping.Y(a.y)) +
           "\" x2=\"" + Number(mapping.X(b.x)) + "\" y2=\"" + Number(mapping.Y(b.y)) + "\" " +
           style + "/>\n";
}

struct DrawnFace {
    double depth;
    std::string element;
};

std::string RenderPanel(const host::Document& doc, const std::vector<std::vector<Projected>>& all,
                        const Mapping& mapping, const SvgOptions& options)
{
    std::vector<DrawnFace> faces;
    std::string selectedOutlines, lines, selectedLines, vertices, selectedVertices, labels;
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        const host::Object& obj = *doc.objects[o];
        const std::vector<Projected>& projected = all[o];
        for (const host::Face& face : obj.faces) {
            const std::size_t n = face.points.size();
            std::string points;
            double depth = 0;
            const bool drawable = FaceCorners(face, projected, mapping, points, depth);
            if (n >= 3 && drawable) {
                faces.push_back(DrawnFace{depth, std::string("<polygon points=\"") + points + "\" " +
                                                     (face.selected ? "class=\"sf\"" : "class=\"f\"") +
                                                     "/>\n"});
                if (face.selected)
                    selectedOutlines += "<polygon points=\"" + points + "\" class=\"so\"/>\n";
            }
            for (std::size_t k = 0; k < n && n >= 2; ++k) {
                Projected a, b;
                if (!Corner(projected, face.points[k], a) ||
                    !Corner(projected, face.points[(k + 1) % n], b))
                    continue;
                const bool selected = k < face.lineSelected.size() && face.lineSelected[k];
                if (selected)
                    selectedLines += Segment(mapping, a, b, "class=\"sl\"");
                else if (n == 2 && k == 0)
                    lines += Segment(mapping, a, b, "class=\"l\"");
                if (n == 2)
                    break;   // a two-point face has one line to draw
            }
        }
        for (std::size_t v = 0; v < projected.size(); ++v) {
            const Projected& p = projected[v];
            if (!p.valid)
                continue;
            const bool selected = v < obj.vertexSelected.size() && obj.vertexSelected[v];
            const std::string at = "cx=\"" + Number(mapping.X(p.x)) + "\" cy=\"" +
                                   Number(mapping.Y(p.y)) + "\"";
            if (selected)
                selectedVertices += "<circle " + at + " r=\"5\" class=\"sv\"/>\n";
            else
                vertices += "<circle " + at + " r=\"2\" class=\"v\"/>\n";
            if (options.vertexLabels)
                labels += "<text x=\"" + Number(mapping.X(p.x) + 6) + "\" y=\"" +
                          Number(mapping.Y(p.y) - 6) + "\" class=\"lb\">" +
                          (doc.objects.size() > 1 ? std::to_string(o) + ":" : "") +
                          std::to_string(v) + "</text>\n";
        }
    }
    // Far faces first, so that near ones cover them (painter's order).
    std::stable_sort(faces.begin(), faces.end(),
                     [](const DrawnFace& a, const DrawnFace& b) { return a.depth < b.depth; });
    std::string out;
    for (const DrawnFace& face : faces)
        out += face.element;
    // The selection is drawn over every face, so that none hides it.
    return out + selectedOutlines + lines + selectedLines + vertices + selectedVertices + labels;
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
    case ViewKind::Scene: return "scene view";
    }
    return "";
}

}  // namespace

bool ParseViewKind(const std::string& text, ViewKind& view)
{
    if (text == "front")
        view = ViewKind::Front;
    else if (text == "top")
        view = ViewKind::Top;
    else if (text == "side")
        view = ViewKind::Side;
    else if (text == "scene")
        view = ViewKind::Scene;
    else
        return false;
    return true;
}

std::string RenderSvg(const std::vector<SvgPanel>& panels, const SvgOptions& options)
{
    // One scale for all panels: the bounds of everything drawn.
    std::vector<std::vector<std::vector<Projected>>> projected;
    Bounds bounds;
    for (const SvgPanel& panel : panels) {
        projected.push_back(ProjectDocument(*panel.doc, options.view));
        for (const auto& object : projected.back())
            for (const Projected& p : object)
                Extend(bounds, p);
    }
    const Mapping shared = MakeMapping(bounds);
    const double panelWidth = kPanelSize + 2 * kMargin;
    const double width = panelWidth * static_cast<double>(std::max<std::size_t>(panels.size(), 1));
    const double height = kTitleHeight + kPanelSize + 2 * kMargin + kLegendHeight;

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(width) + "\" height=\"" +
           Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\">\n";
    out += "<style>\n"
           "  text { font-family: sans-serif; fill: #222; }\n"
           "  .t { font-size: 15px; font-weight: bold; } .s { font-size: 11px; fill: #555; }\n"
           "  .lb { font-size: 10px; fill: #444; }\n"
           "  .f { fill: #c9d6e8; fill-opacity: 0.75; stroke: #4a5a70; stroke-width: 1; }\n"
           "  .sf { fill: #f5a623; fill-opacity: 0.75; stroke: #4a5a70; stroke-width: 1; }\n"
           "  .so { fill: none; stroke: #c47500; stroke-width: 2; stroke-dasharray: 6 3; }\n"
           "  .l { stroke: #333; stroke-width: 1.5; fill: #333; }\n"
           "  .sl { stroke: #d62728; stroke-width: 4; stroke-linecap: round; fill: #d62728; }\n"
           "  .v { fill: #333; } .sv { fill: #1f5fd6; stroke: white; stroke-width: 1.5; }\n"
           "</style>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const double left = panelWidth * static_cast<double>(i);
        Mapping mapping = shared;
        mapping.panelX = left + kMargin;
        mapping.panelY = kTitleHeight + kMargin;
        out += "<g>\n";
        out += "<text x=\"" + Number(left + kMargin) + "\" y=\"20\" class=\"t\">" +
               Escape(panels[i].title) + "</text>\n";
        out += "<text x=\"" + Number(left + kMargin) + "\" y=\"38\" class=\"s\">" +
               Escape(Summary(*panels[i].doc)) + "; " + ViewName(options.view) + "</text>\n";
        out += "<rect x=\"" + Number(left + kMargin / 2) + "\" y=\"" +
               Number(kTitleHeight + kMargin / 2) + "\" width=\"" +
               Number(kPanelSize + kMargin) + "\" height=\"" + Number(kPanelSize + kMargin) +
               "\" fill=\"none\" stroke=\"#ddd\"/>\n";
        out += RenderPanel(*panels[i].doc, projected[i], mapping, options);
        out += "</g>\n";
    }
    const double legendY = height - kLegendHeight / 2;
    out += "<g class=\"legend\">\n"
           "<rect x=\"" + Number(kMargin) + "\" y=\"" + Number(legendY - 9) +
           "\" width=\"16\" height=\"12\" class=\"sf\"/>\n"
           "<text x=\"" + Number(kMargin + 22) + "\" y=\"" + Number(legendY + 2) +
           "\" class=\"s\">selected face</text>\n"
           "<line x1=\"" + Number(kMargin + 120) + "\" y1=\"" + Number(legendY - 3) + "\" x2=\"" +
           Number(kMargin + 140) + "\" y2=\"" + Number(legendY - 3) + "\" class=\"sl\"/>\n"
           "<text x=\"" + Number(kMargin + 146) + "\" y=\"" + Number(legendY + 2) +
           "\" class=\"s\">selected line</text>\n"
           "<circle cx=\"" + Number(kMargin + 245) + "\" cy=\"" + Number(legendY - 3) +
           "\" r=\"5\" class=\"sv\"/>\n"
           "<text x=\"" + Number(kMargin + 254) + "\" y=\"" + Number(legendY + 2) +
           "\" class=\"s\">selected vertex</text>\n"
           "</g>\n";
    return out + "</svg>\n";
}

}  // namespace hostapp
