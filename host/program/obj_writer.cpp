// Writing a document as OBJ (+ MTL): as a patch of the file it was read
// from where that can be done, else anew.
#include "host/program/obj_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "host/program/file_io.h"
#include "host/program/float_text.h"
#include "host/program/obj_patcher.h"
#include "host/program/obj_text.h"

namespace host {

using namespace obj;

namespace {

// Material names as the MTL file gives them: no blanks (the reader stops a
// "usemtl" name at the first), not empty, and each used once.
std::vector<std::string> MtlNames(const host::Document& doc)
{
    std::vector<std::string> names(doc.materials.size());
    std::set<std::string> used;
    for (std::size_t i = 0; i < doc.materials.size(); ++i) {
        if (!doc.materials[i])
            continue;
        std::string name = doc.materials[i]->name;
        for (char& c : name) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                c = '_';
        }
        if (name.empty() || used.count(name))
            name = "material" + std::to_string(i);
        while (used.count(name))
            name += "_";
        used.insert(name);
        names[i] = name;
    }
    return names;
}

bool HasAnyUV(const host::Object& obj)
{
    for (const host::Face& face : obj.faces)
        if (host::FaceHasUV(face))
            return true;
    return false;
}

// OBJ numbers have no nan or infinity (the reader refuses them).
bool CheckFinite(const std::string& path, const host::Document& doc, std::string& error)
{
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        const host::Object& obj = *doc.objects[o];
        for (std::size_t v = 0; v < obj.vertices.size(); ++v) {
            const host::Vec3& p = obj.vertices[v];
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                error = path + ": not written: object " + std::to_string(o) + ", vertex " +
                        std::to_string(v) + " is (" + PositionText(p) +
                        "), and OBJ has no nan or infinity; write a .json document";
                return false;
            }
        }
        for (std::size_t f = 0; f < obj.faces.size(); ++f) {
            for (const host::UV& uv : obj.faces[f].uv) {
                if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
                    error = path + ": not written: object " + std::to_string(o) + ", face " +
                            std::to_string(f) + " has the UV (" + ShortestFloatText(uv.u) + ", " +
                            ShortestFloatText(uv.v) + "), and OBJ has no nan or infinity; write a "
                            ".json document";
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

std::string ObjContentsBeyondTheDocument(const ObjSource& source)
{
    std::vector<std::string> parts;
    const auto add = [&](int count, const char* one, const char* many) {
        if (count > 0)
            parts.push_back(std::to_string(count) + " " + (count == 1 ? one : many));
    };
    add(source.normalCount, "normal", "normals");
    add(source.smoothingCount, "smoothing-group statement", "smoothing-group statements");
    add(source.colourCount, "vertex colour", "vertex colours");
    add(source.commentCount, "comment line", "comment lines");
    add(source.mtlOtherStatements, "material statement other than maps (Ka, Kd, Ks, Ns, ...)",
        "material statements other than maps (Ka, Kd, Ks, Ns, ...)");
    int others = 0;
    std::string keywords;
    for (const auto& entry : source.otherStatements) {
        others += entry.second;
        keywords += (keywords.empty() ? "" : ", ") + OneLine(entry.first);
    }
    if (others > 0)
        parts.push_back(std::to_string(others) + (others == 1 ? " other statement (" : " other statements (") +
                        keywords + ")");
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return out;
}

std::string FormatObjText(const host::Document& doc, const std::string& mtlFileName)
{
    const std::vector<std::string> names = MtlNames(doc);
    std::string out = "# Written by kivera-host. OBJ holds no selection, current object or view.\n";
    if (!mtlFileName.empty())
        out += "mtllib " + mtlFileName + "\n";
    long long vertexBase = 1, uvBase = 1;
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        if (!doc.objects[o])
            continue;
        const host::Object& obj = *doc.objects[o];
        out += "o " + (obj.name.empty() ? "object" + std::to_string(o) : OneLine(obj.name)) + "\n";
        for (const host::Vec3& v : obj.vertices)
            out += "v " + ShortestFloatText(v.x) + " " + ShortestFloatText(v.y) + " " +
                   ShortestFloatText(v.z) + "\n";
        // One "vt" per distinct UV (by bits) of the object's polygons.
        const bool withUV = HasAnyUV(obj);
        std::map<std::pair<std::uint32_t, std::uint32_t>, long long> uvIndex;
        std::vector<std::vector<long long>> faceUVs(obj.faces.size());
        if (withUV) {
            for (std::size_t f = 0; f < obj.faces.size(); ++f) {
                const host::Face& face = obj.faces[f];
                if (face.points.size() < 3)
                    continue;
                for (std::size_t j = 0; j < face.points.size(); ++j) {
                    const std::size_t k = FileCorner(j, face.points.size());
                    const host::UV uv = k < face.uv.size() ? face.uv[k] : host::UV{0.0f, 0.0f};
                    std::pair<std::uint32_t, std::uint32_t> key;
                    std::memcpy(&key.first, &uv.u, sizeof key.first);
                    std::memcpy(&key.second, &uv.v, sizeof key.second);
                    auto found = uvIndex.find(key);
                    if (found == uvIndex.end()) {
                        found = uvIndex.emplace(key, uvBase + static_cast<long long>(uvIndex.size()))
                                    .first;
                        out += "vt " + ShortestFloatText(uv.u) + " " + ShortestFloatText(uv.v) + "\n";
                    }
                    faceUVs[f].push_back(found->second);
                }
            }
        }
        // Polygons in face order with their materials, then lines, then
        // points (the reader gives them back in that order).
        int material = -1;
        for (std::size_t f = 0; f < obj.faces.size(); ++f) {
            const host::Face& face = obj.faces[f];
            if (face.points.size() < 3)
                continue;
            const int wanted = face.material >= 0 &&
                                       static_cast<std::size_t>(face.material) < names.size() &&
                                       !names[static_cast<std::size_t>(face.material)].empty()
                                   ? face.material
                                   : -1;
            if (wanted != material) {
                out += wanted >= 0 ? "usemtl " + names[static_cast<std::size_t>(wanted)] + "\n"
                                   : "usemtl\n";
                material = wanted;
            }
            out += "f";
            for (std::size_t j = 0; j < face.points.size(); ++j) {
                const std::size_t k = FileCorner(j, face.points.size());
                out += " " + std::to_string(vertexBase + face.points[k]);
                if (withUV)
                    out += "/" + std::to_string(faceUVs[f][j]);
            }
            out += "\n";
        }
        for (const host::Face& face : obj.faces) {
            if (face.points.size() == 2)
                out += "l " + std::to_string(vertexBase + face.points[0]) + " " +
                       std::to_string(vertexBase + face.points[1]) + "\n";
        }
        for (const host::Face& face : obj.faces) {
            if (face.points.size() == 1)
                out += "p " + std::to_string(vertexBase + face.points[0]) + "\n";
        }
        vertexBase += static_cast<long long>(obj.vertices.size());
        uvBase += static_cast<long long>(uvIndex.size());
    }
    return out;
}

std::string FormatMtlText(const host::Document& doc)
{
    const std::vector<std::string> names = MtlNames(doc);
    std::string out = "# Written by kivera-host.\n";
    for (std::size_t i = 0; i < doc.materials.size(); ++i) {
        if (!doc.materials[i])
            continue;
        const host::Material& material = *doc.materials[i];
        out += "\nnewmtl " + names[i] + "\n";
        out += "Kd " + ShortestFloatText(material.color[0]) + " " +
               ShortestFloatText(material.color[1]) + " " + ShortestFloatText(material.color[2]) +
               "\n";
        if (!material.texture.empty())
            out += "map_Kd " + OneLine(material.texture) + "\n";
        if (!material.alpha.empty())
            out += "map_d " + OneLine(material.alpha) + "\n";
        if (!material.bump.empty())
            out += "map_bump " + OneLine(material.bump) + "\n";
    }
    return out;
}

bool ExportObj(const std::string& path, const host::Document& doc, const ObjSource* source,
               std::string& notes, std::string& error)
{
    if (!CheckFinite(path, doc, error))
        return false;
    if (source) {
        const std::string problem = PatchProblem(doc, *source);
        if (problem.empty())
            return WritePatched(path, doc, *source, notes, error);
        const std::string lost = ObjContentsBeyondTheDocument(*source);
        if (!lost.empty() && SameFile(path, source->path)) {
            error = path + ": not written: " + problem + ", so the file would be written anew and "
                    "lose its " + lost + "; write to another file with --out";
            return false;
        }
        if (!lost.empty())
            notes += path + ": written anew (" + problem + "): it lacks the " + lost + " of " +
                     source->path + "\n";
    }
    // The MTL file goes first: the OBJ file must be writable before it.
    if (std::string why; !CheckWritable(path, why)) {
        error = path + ": cannot write: " + why;
        return false;
    }
    std::string mtlName;
    if (HasMaterials(doc)) {
        const std::string mtlPath = MtlFileNameFor(path);
        if (!WriteText(mtlPath, FormatMtlText(doc), error))
            return false;
        mtlName = FileNameOf(mtlPath);
    }
    return WriteText(path, FormatObjText(doc, mtlName), error);
}

std::vector<std::string> ObjCompanionFiles(const std::string& path, const host::Document& doc,
                                           const ObjSource* source)
{
    if (source && SameFile(path, source->path))
        return {};
    if ((source && !source->mtlFiles.empty()) || HasMaterials(doc))
        return {MtlFileNameFor(path)};
    return {};
}

std::vector<std::string> ObjInputFiles(const ObjSource& source)
{
    std::vector<std::string> files = {source.path};
    for (const ObjMtlFile& file : source.mtlFiles)
        files.push_back(file.path);
    return files;
}

bool ExportObj(const std::string& path, const host::Document& doc, std::string& error)
{
    std::string notes;
    return ExportObj(path, doc, nullptr, notes, error);
}

}  // namespace host
