#include "host/library/command_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "frame/command_ids.h"
#include "host/library/command_names.h"

namespace host {

namespace {

constexpr int kSavePointsRow = RowOf(CommandId::SavePoints);
constexpr int kRestorePointsRow = RowOf(CommandId::RestorePoints);
constexpr int kGrooveRow = RowOf(CommandId::CutGroove);
constexpr int kBevelRow = RowOf(CommandId::Bevel);

bool ScalesBack(float x, int exponent)
{
    if (!std::isfinite(x) || x == 0.0f)
        return true;
    const float scaled = std::ldexp(x, exponent);
    return std::isfinite(scaled) && std::ldexp(scaled, -exponent) == x;
}

std::uint64_t EdgeKey(int a, int b)
{
    const auto low = static_cast<std::uint32_t>(std::min(a, b));
    const auto high = static_cast<std::uint32_t>(std::max(a, b));
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

double Distance(const host::Vec3& a, const host::Vec3& b)
{
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The faces the commands work on: three or four points, all of them vertices.
bool UsableFace(const host::Object& obj, const host::Face& face)
{
    const std::size_t n = face.points.size();
    if (n < 3 || n > 4)
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        if (face.points[k] < 0 || static_cast<std::size_t>(face.points[k]) >= obj.vertices.size())
            return false;
    }
    return true;
}

struct LineCrossEdges {
    int faces = 0;
    std::vector<double> lengths;   // at both ends, on every face holding the line
};

// The cross edges of one object's selected lines that two faces share, as
// groove and bevel read them: at each end, the side of each face that
// leaves the line there.
void CollectCrossEdges(const host::Object& obj, std::vector<double>& lengths)
{
    std::unordered_map<std::uint64_t, LineCrossEdges> lines;
    for (const host::Face& face : obj.faces) {
        if (!UsableFace(obj, face))
            continue;
        const std::size_t n = face.points.size();
        for (std::size_t k = 0; k < n; ++k) {
            if (k < face.lineSelected.size() && face.lineSelected[k])
                lines.emplace(EdgeKey(face.points[k], face.points[(k + 1) % n]), LineCrossEdges());
        }
    }
    if (lines.empty())
        return;
    for (const host::Face& face : obj.faces) {
        if (!UsableFace(obj, face))
            continue;
        const std::size_t n = face.points.size();
        for (std::size_t k = 0; k < n; ++k) {
            const int a = face.points[k], b = face.points[(k + 1) % n];
            const auto found = lines.find(EdgeKey(a, b));
            if (found == lines.end())
                continue;
            const int beforeA = face.points[(k + n - 1) % n], afterB = face.points[(k + 2) % n];
            auto at = [&obj](int v) { return obj.vertices[static_cast<std::size_t>(v)]; };
            ++found->second.faces;
            found->second.lengths.push_back(Distance(at(beforeA), at(a)));
            found->second.lengths.push_back(Distance(at(afterB), at(b)));
        }
    }
    for (const auto& line : lines) {
        if (line.second.faces == 2)
            lengths.insert(lengths.end(), line.second.lengths.begin(), line.second.lengths.end());
    }
}

std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

}  // namespace

bool ParseScaleExponent(const std::string& text, int& exponent, std::string& error)
{
    std::size_t at = text.rfind("2^", 0) == 0 ? 2 : std::string::npos;
    const bool negative = at != std::string::npos && at < text.size() && text[at] == '-';
    if (negative || (at != std::string::npos && at < text.size() && text[at] == '+'))
        ++at;
    int value = 0;
    bool digits = at != std::string::npos && at < text.size();
    for (std::size_t i = at; digits && i < text.size(); ++i) {
        digits = text[i] >= '0' && text[i] <= '9' && value <= kScaleExponentLimit;
        value = value * 10 + (text[i] - '0');
    }
    if (!digits || value > kScaleExponentLimit) {
        error = "--scale must be 2^K, K a whole number from " +
                std::to_string(-kScaleExponentLimit) + " to " +
                std::to_string(kScaleExponentLimit) + " (only powers of two scale and unscale "
                "every coordinate exactly), not \"" + text + "\"";
        return false;
    }
    exponent = negative ? -value : value;
    return true;
}

bool CheckScaleExponent(const host::Document& doc, int exponent, std::string& error)
{
    if (exponent < -kScaleExponentLimit || exponent > kScaleExponentLimit) {
        error = "--scale 2^" + std::to_string(exponent) + ": the exponent must lie between " +
                std::to_string(-kScaleExponentLimit) + " and " +
                std::to_string(kScaleExponentLimit);
        return false;
    }
    for (std::size_t i = 0; i < doc.objects.size(); ++i) {
        const host::Object* obj = doc.objects[i].get();
        if (!obj)
            continue;
        for (std::size_t v = 0; v < obj->vertices.size(); ++v) {
            const host::Vec3& p = obj->vertices[v];
            if (!ScalesBack(p.x, exponent) || !ScalesBack(p.y, exponent) ||
                !ScalesBack(p.z, exponent)) {
                error = "--scale 2^" + std::to_string(exponent) + ": object " + std::to_string(i) +
                        ", vertex " + std::to_string(v) +
                        " would leave the float range and not come back as it was";
                return false;
            }
        }
    }
    return true;
}

void ScaleDocument(host::Document& doc, int exponent)
{
    if (exponent == 0)
        return;
    for (auto& obj : doc.objects) {
        if (!obj)
            continue;
        for (host::Vec3& p : obj->vertices)
            p = host::Vec3{std::ldexp(p.x, exponent), std::ldexp(p.y, exponent),
                           std::ldexp(p.z, exponent)};
    }
}

std::string FixedSizeNote(const host::Document& scaledDoc, int row, int exponent, int* fitting)
{
    if (row != kGrooveRow && row != kBevelRow)
        return "";
    std::vector<double> lengths;
    for (const auto& obj : scaledDoc.objects) {
        if (obj)
            CollectCrossEdges(*obj, lengths);
    }
    if (lengths.empty())
        return "";
    const auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
    std::nth_element(lengths.begin(), middle, lengths.end());
    const double median = *middle;
    if (!(kCommandFixedSize > median))
        return "";
    const bool groove = row == kGrooveRow;
    const double unit = std::ldexp(1.0, -exponent);   // one scaled unit in model units
    std::string note = groove ? "cut-groove: the groove's fixed width and depth (2.0"
                              : "bevel: the bevel's fixed size (2.0";
    if (exponent != 0)
        note += ", " + Number(kCommandFixedSize * unit) + " model units at --scale 2^" +
                std::to_string(exponent);
    note += std::string(groove ? ") exceed" : ") exceeds") +
            " the median cross edge of the selected lines, " + Number(median * unit) +
            " model units";
    if (median > 0.0 && std::isfinite(median)) {
        // The smallest exponent at which the size no longer exceeds the median.
        const int fit = exponent + static_cast<int>(std::ceil(std::log2(kCommandFixedSize / median)));
        if (fitting)
            *fitting = fit;
        note += ": --scale 2^" + std::to_string(fit) + " would fit";
    }
    return note;
}

bool RunCommandScaled(const PluginModule& module, int index, host::Document& doc,
                      const char* dialog, int scaleExponent, bool echo, ScaledRun& run,
                      std::string& error)
{
    if (!CheckScaleExponent(doc, scaleExponent, error))
        return false;
    const char* menuText = module.enumString(index);
    const int row = menuText ? CommandRowOfMenuText(menuText) : -1;
    // kivera.idx holds positions in model units, whatever the scale of the
    // run that saves or restores them.
    if (row == kSavePointsRow || row == kRestorePointsRow)
        scaleExponent = 0;
    ScaleDocument(doc, scaleExponent);
    run = ScaledRun();
    run.scaleNote = FixedSizeNote(doc, row, scaleExponent, &run.fittingExponent);
    const CommandOutcome outcome = RunMenuCommand(module, index, doc, dialog, echo);
    ScaleDocument(doc, -scaleExponent);
    run.result = outcome.result;
    run.messages = outcome.messages;
    return true;
}

}  // namespace host
