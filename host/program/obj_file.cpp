#include "host/program/obj_file.h"

// The double build of the reader (its CMake target defines
// TINYOBJLOADER_USE_DOUBLE): coordinates read in double, rounded once to float.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "host/program/file_io.h"
#include "host/program/float_text.h"

namespace hostapp {

static_assert(sizeof(tinyobj::real_t) == sizeof(double), "link the double build of tinyobjloader");

namespace {

// --- Import ---------------------------------------------------------------------

// The reader's messages come as lines; keep them one line each, and drop
// the one about the unnamed "usemtl" that the exporter writes for faces
// without a material.
std::vector<std::string> ReaderLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '.'))
            line.pop_back();
        if (line.empty() || line == "material [ '' ] not found in .mtl")
            continue;
        lines.push_back(line);
    }
    return lines;
}

std::string ShapeName(const tinyobj::shape_t& shape, std::size_t index)
{
    return "object " + std::to_string(index) + (shape.name.empty() ? "" : " \"" + shape.name + "\"");
}

struct ImportContext {
    const std::string& path;
    const tinyobj::attrib_t& attrib;
    std::string& error;
    int vertexCount;
    int uvCount;
    int materialCount;

    bool Fail(const std::string& where, const std::string& what)
    {
        error = path + ": " + where + ": " + what;
        return false;
    }
};

// Every index the reader gives is checked here: it passes indices that lie
// beyond the file's vertices on with no more than a warning.
bool CheckCorner(ImportContext& context, const tinyobj::index_t& corner, const std::string& where)
{
    if (corner.vertex_index < 0 || corner.vertex_index >= context.vertexCount)
        return context.Fail(where, "vertex " + std::to_string(corner.vertex_index + 1) +
                                       " does not exist (the file has " +
                                       std::to_string(context.vertexCount) + " vertices)");
    if (corner.texcoord_index >= context.uvCount || corner.texcoord_index < -1)
        return context.Fail(where, "texture coordinate " +
                                       std::to_string(corner.texcoord_index + 1) +
                                       " does not exist (the file has " +
                                       std::to_string(context.uvCount) + ")");
    return true;
}

// One face (polygon, line or point) of a shape as global corners.
struct ShapeFace {
    std::vector<tinyobj::index_t> corners;
    int material;
    std::string where;
};

bool CollectShapeFaces(ImportContext& context, const tinyobj::shape_t& shape,
                       const std::string& shapeWhere, std::vector<ShapeFace>& faces)
{
    const tinyobj::mesh_t& mesh = shape.mesh;
    std::size_t offset = 0;
    for (std::size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
        const std::size_t count = mesh.num_face_vertices[f];
        const std::string where = shapeWhere + ", face " + std::to_string(faces.size());
        // The reader stores point counts in a byte: a face of more than 255
        // points leaves the counts short of the indices.
        if (offset + count > mesh.indices.size())
            return context.Fail(where, "the face's points do not match the reader's count "
                                       "(faces of more than 255 points are not supported)");
        ShapeFace face;
        face.corners.assign(mesh.indices.begin() + static_cast<std::ptrdiff_t>(offset),
                            mesh.indices.begin() + static_cast<std::ptrdiff_t>(offset + count));
        face.material = f < mesh.material_ids.size() ? mesh.material_ids[f] : -1;
        if (face.material < -1 || face.material >= context.materialCount)
            face.material = -1;
        face.where = where;
        offset += count;
        faces.push_back(std::move(face));
    }
    if (offset != mesh.indices.size())
        return context.Fail(shapeWhere, "the faces' points do not match the reader's count "
                                        "(faces of more than 255 points are not supported)");
    // A polyline "l a b c" is the lines a-b and b-c.
    std::size_t lineOffset = 0;
    for (int count : shape.lines.num_line_vertices) {
        if (count < 0 || lineOffset + static_cast<std::size_t>(count) > shape.lines.indices.size())
            return context.Fail(shapeWhere, "the lines' points do not match the reader's count");
        for (int k = 0; k + 1 < count; ++k) {
            ShapeFace face;
            face.corners = {shape.lines.indices[lineOffset + static_cast<std::size_t>(k)],
                            shape.lines.indices[lineOffset + static_cast<std::size_t>(k) + 1]};
            face.material = -1;
            face.where = shapeWhere + ", face " + std::to_string(faces.size()) + " (a line)";
            faces.push_back(std::move(face));
        }
        lineOffset += static_cast<std::size_t>(count);
    }
    for (const tinyobj::index_t& point : shape.points.indices) {
        ShapeFace face;
        face.corners = {point};
        face.material = -1;
        face.where = shapeWhere + ", face " + std::to_string(faces.size()) + " (a point)";
        faces.push_back(std::move(face));
    }
    for (const ShapeFace& face : faces) {
        for (std::size_t k = 0; k < face.corners.size(); ++k) {
            if (!CheckCorner(context, face.corners[k], face.where + ", point " + std::to_string(k)))
                return false;
        }
    }
    return true;
}

host::Vec3 FilePosition(const tinyobj::attrib_t& attrib, int index)
{
    const std::size_t at = static_cast<std::size_t>(index) * 3;
    return host::Vec3{static_cast<float>(attrib.vertices[at]),
                      static_cast<float>(attrib.vertices[at + 1]),
                      static_cast<float>(attrib.vertices[at + 2])};
}

host::UV FileUV(const tinyobj::attrib_t& attrib, int index)
{
    if (index < 0)
        return host::UV{0.0f, 0.0f};
    const std::size_t at = static_cast<std::size_t>(index) * 2;
    return host::UV{static_cast<float>(attrib.texcoords[at]),
                    static_cast<float>(attrib.texcoords[at + 1])};
}

// Adds one object for a shape. `keepAll`: the object takes every vertex of
// the file in order (the file has one object), else only those its faces
// use, in the file's order.
void AddShapeObject(host::Document& doc, const tinyobj::attrib_t& attrib, const std::string& name,
                    const std::vector<ShapeFace>& faces, int vertexCount, bool keepAll)
{
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, name));
    std::vector<int> local(static_cast<std::size_t>(vertexCount), -1);
    if (keepAll) {
        for (int v = 0; v < vertexCount; ++v)
            local[static_cast<std::size_t>(v)] = v;
    } else {
        for (const ShapeFace& face : faces) {
            for (const tinyobj::index_t& corner : face.corners)
                local[static_cast<std::size_t>(corner.vertex_index)] = 0;
        }
        int next = 0;
        for (int& slot : local) {
            if (slot == 0)
                slot = next++;
        }
    }
    for (int v = 0; v < vertexCount; ++v) {
        if (local[static_cast<std::size_t>(v)] >= 0)
            host::AddVertex(obj, FilePosition(attrib, v));
    }
    for (const ShapeFace& face : faces) {
        std::vector<int> points;
        std::vector<host::UV> uv;
        for (const tinyobj::index_t& corner : face.corners) {
            points.push_back(local[static_cast<std::size_t>(corner.vertex_index)]);
            uv.push_back(FileUV(attrib, corner.texcoord_index));
        }
        const int index = host::AddFace(obj, points, face.material);
        if (index >= 0)
            obj.faces[static_cast<std::size_t>(index)].uv = uv;
    }
}

// --- Export ---------------------------------------------------------------------

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

std::string OneLine(const std::string& text)
{
    std::string line = text;
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

std::string MtlFileNameFor(const std::string& objPath)
{
    return objPath.substr(0, objPath.size() - 4) + ".mtl";
}

bool HasMaterials(const host::Document& doc)
{
    for (const auto& material : doc.materials) {
        if (material)
            return true;
    }
    return false;
}

}  // namespace

bool ImportObj(const std::string& path, host::Document& doc, std::string& notes,
               std::string& error)
{
    std::string bytes, why;
    // The reader's own message for a missing file is vague; say why here.
    if (!ReadWholeFile(path, bytes, why)) {
        error = path + ": cannot read: " + why;
        return false;
    }
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warnings, errors;
    const std::string folder = FolderOf(path) + "/";
    const bool loaded = tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &errors,
                                         path.c_str(), folder.c_str(), false, false);
    const std::vector<std::string> errorLines = ReaderLines(errors);
    if (!loaded || !errorLines.empty()) {
        error = path + ": " + (errorLines.empty() ? "not a readable OBJ file" : errorLines[0]);
        return false;
    }
    ImportContext context{path,
                          attrib,
                          error,
                          static_cast<int>(attrib.vertices.size() / 3),
                          static_cast<int>(attrib.texcoords.size() / 2),
                          static_cast<int>(materials.size())};
    std::vector<std::vector<ShapeFace>> shapeFaces(shapes.size());
    for (std::size_t s = 0; s < shapes.size(); ++s) {
        if (!CollectShapeFaces(context, shapes[s], ShapeName(shapes[s], s), shapeFaces[s]))
            return false;
    }

    for (const tinyobj::material_t& material : materials) {
        host::Material& added = *host::GetMaterial(doc, host::AddMaterial(doc, material.name));
        added.texture = material.diffuse_texname;
        added.alpha = material.alpha_texname;
        added.bump = material.bump_texname;
    }
    if (shapes.empty()) {
        // Vertices and nothing else: one object holds them.
        if (context.vertexCount > 0)
            AddShapeObject(doc, attrib, "", {}, context.vertexCount, true);
    } else {
        for (std::size_t s = 0; s < shapes.size(); ++s)
            AddShapeObject(doc, attrib, shapes[s].name, shapeFaces[s], context.vertexCount,
                           shapes.size() == 1);
    }

    std::size_t kept = 0;
    for (const auto& obj : doc.objects)
        kept += obj->vertices.size();
    std::string remarks;
    for (const std::string& line : ReaderLines(warnings))
        remarks += path + ": warning: " + line + "\n";
    if (shapes.size() > 1 && kept < static_cast<std::size_t>(context.vertexCount))
        remarks += path + ": " + std::to_string(static_cast<std::size_t>(context.vertexCount) - kept) +
                   " vertices that no face uses were left out (OBJ does not say which object "
                   "they belong to)\n";
    notes += remarks;
    return true;
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
                for (std::size_t k = 0; k < face.points.size(); ++k) {
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
            for (std::size_t k = 0; k < face.points.size(); ++k) {
                out += " " + std::to_string(vertexBase + face.points[k]);
                if (withUV)
                    out += "/" + std::to_string(faceUVs[f][k]);
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

bool ExportObj(const std::string& path, const host::Document& doc, std::string& error)
{
    std::string why;
    std::string mtlName;
    if (HasMaterials(doc)) {
        const std::string mtlPath = MtlFileNameFor(path);
        if (!WriteFileAtomically(mtlPath, FormatMtlText(doc), why)) {
            error = mtlPath + ": cannot write: " + why;
            return false;
        }
        mtlName = FileNameOf(mtlPath);
    }
    if (!WriteFileAtomically(path, FormatObjText(doc, mtlName), why)) {
        error = path + ": cannot write: " + why;
        return false;
    }
    return true;
}

}  // namespace hostapp
