#include "host/program/obj_patcher.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "host/program/file_io.h"
#include "host/program/float_text.h"
#include "host/program/obj_text.h"
#include "host/library/text_encoding.h"

namespace host::obj {

namespace {

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool SamePosition(const host::Vec3& a, const host::Vec3& b)
{
    return Bits(a.x) == Bits(b.x) && Bits(a.y) == Bits(b.y) && Bits(a.z) == Bits(b.z);
}

bool SamePoints(const host::Face& a, const host::Face& b)
{
    return a.points.size() == b.points.size() &&
           std::equal(a.points.begin(), a.points.end(), b.points.begin());
}

bool SameUVs(const host::Face& a, const host::Face& b)
{
    if (a.uv.size() != b.uv.size())
        return false;
    for (std::size_t k = 0; k < a.uv.size(); ++k) {
        if (Bits(a.uv[k].u) != Bits(b.uv[k].u) || Bits(a.uv[k].v) != Bits(b.uv[k].v))
            return false;
    }
    return true;
}

}  // namespace

// Why the document cannot be written as a patch of its source; empty when it can.
std::string PatchProblem(const host::Document& doc, const ObjSource& source)
{
    const host::Document& loaded = source.loaded;
    if (doc.objects.size() != loaded.objects.size())
        return "the commands added or removed objects";
    for (std::size_t o = 0; o < doc.objects.size(); ++o) {
        const std::string object = "object " + std::to_string(o);
        if (!doc.objects[o])
            return "the commands removed " + object;
        if (doc.objects[o]->name != loaded.objects[o]->name)
            return "the commands renamed " + object;
        if (doc.objects[o]->vertices.size() < loaded.objects[o]->vertices.size())
            return "the commands deleted vertices of " + object;
        if (doc.objects[o]->faces.size() < loaded.objects[o]->faces.size())
            return "the commands removed face slots of " + object;
    }
    if (doc.materials.size() != loaded.materials.size())
        return "the commands added or removed materials";
    for (std::size_t m = 0; m < doc.materials.size(); ++m) {
        const std::string material = "material " + std::to_string(m);
        if (!doc.materials[m] || doc.materials[m]->name != loaded.materials[m]->name)
            return "the commands removed or renamed " + material;
        for (int kind = 0; kind < 3; ++kind) {
            if (MapName(*doc.materials[m], kind) != MapName(*loaded.materials[m], kind) &&
                source.materials[m].file < 0)
                return "the maps of " + material + " stand outside any \"newmtl\" of its MTL file";
        }
    }
    return "";
}

namespace {

// Per object: how its vertices, UVs and faces are written.
struct ObjectPlan {
    // Per vertex: >= 0 a file vertex, < 0 the new vertex -(k + 1) of the block.
    std::vector<int> vertexRef;
    std::vector<int> newVertices;      // the block's vertices: document vertex indices
    std::vector<int> newVertexSource;  // the file vertex whose colour each copies, or -1
    std::vector<host::UV> newUVs;
    std::vector<std::vector<int>> faceNewUVs;   // per face: into newUVs, or empty
    std::vector<int> newFaces;         // live faces beyond the loaded ones
    int firstNewVertex = 0, firstNewUV = 0;     // output indices from 1
    int vertexAnchor = 0, uvAnchor = 0, faceAnchor = 0;   // lines the blocks follow
};

struct Insertion {
    int line, kind, object;   // kind: 0 vertices, 1 texture coordinates, 2 faces
    bool operator<(const Insertion& other) const
    {
        return std::tie(line, kind, object) < std::tie(other.line, other.kind, other.object);
    }
};

struct Patch {
    const host::Document& doc;
    const ObjSource& source;
    std::vector<ObjectPlan> plans;
    std::vector<std::pair<int, int>> owner;   // per face record: object, face
    std::vector<char> moved;                  // per file vertex: its line is rewritten
    std::vector<host::Vec3> position;         // per file vertex: what its line holds
    std::vector<int> vertexOut, uvOut;        // per file vertex / UV: output index from 1
    std::vector<Insertion> insertions;
    int normalsDropped = 0, uncolouredVertices = 0;
};

int LastLineBefore(const std::vector<int>& lines, int before, int fallback)
{
    const auto found = std::lower_bound(lines.begin(), lines.end(), before);
    return found == lines.begin() ? fallback : *(found - 1);
}

void PlanObject(Patch& patch, std::size_t o, std::vector<char>& claimed)
{
    const ObjSource& source = patch.source;
    const host::Object& obj = *patch.doc.objects[o];
    const host::Object& loaded = *source.loaded.objects[o];
    const ObjObjectRecord& record = source.objects[o];
    ObjectPlan& plan = patch.plans[o];
    // A file vertex that several objects share keeps the first one's
    // position; a copy moved elsewhere becomes a vertex of its own.
    for (std::size_t v = 0; v < obj.vertices.size(); ++v) {
        if (v < loaded.vertices.size()) {
            const std::size_t file = static_cast<std::size_t>(record.fileVertex[v]);
            if (!claimed[file]) {
                claimed[file] = 1;
                patch.position[file] = obj.vertices[v];
                patch.moved[file] = !SamePosition(obj.vertices[v], loaded.vertices[v]);
            }
            if (SamePosition(patch.position[file], obj.vertices[v])) {
                plan.vertexRef.push_back(static_cast<int>(file));
                continue;
            }
        }
        plan.vertexRef.push_back(-static_cast<int>(plan.newVertices.size()) - 1);
        plan.newVertices.push_back(static_cast<int>(v));
        plan.newVertexSource.push_back(v < loaded.vertices.size() ? record.fileVertex[v] : -1);
        patch.uncolouredVertices += v >= loaded.vertices.size() && source.colourCount > 0 ? 1 : 0;
    }
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> uvIndex;
    plan.faceNewUVs.resize(obj.faces.size());
    int firstLine = -1, lastLine = -1;
    for (std::size_t f = 0; f < obj.faces.size(); ++f) {
        const host::Face& face = obj.faces[f];
        bool needsUVs = !face.points.empty() && host::FaceHasUV(face);
        if (f < loaded.faces.size()) {
            const ObjFaceRecord& faceRecord = source.faces[static_cast<std::size_t>(record.faces[f])];
            patch.owner[static_cast<std::size_t>(record.faces[f])] = {static_cast<int>(o), static_cast<int>(f)};
            // Faces come polygons first, then lines and points: not in line order.
            firstLine = firstLine < 0 ? faceRecord.line : std::min(firstLine, faceRecord.line);
            lastLine = std::max(lastLine, faceRecord.line);
            const bool samePoints = SamePoints(face, loaded.faces[f]);
            needsUVs = needsUVs && !(samePoints && SameUVs(face, loaded.faces[f]));
            bool hadNormals = false;
            for (int k = 0; k < faceRecord.cornerCount; ++k)
                hadNormals = hadNormals || source.corners[faceRecord.firstCorner + static_cast<std::size_t>(k)].normal >= 0;
            patch.normalsDropped += !face.points.empty() && !samePoints && hadNormals ? 1 : 0;
        } else if (!face.points.empty()) {
            plan.newFaces.push_back(static_cast<int>(f));
            patch.normalsDropped += source.normalCount > 0 ? 1 : 0;
        }
        if (!needsUVs)
            continue;
        for (const host::UV& uv : face.uv) {
            const auto found = uvIndex.emplace(std::make_pair(Bits(uv.u), Bits(uv.v)),
                                               static_cast<int>(plan.newUVs.size()));
            if (found.second)
                plan.newUVs.push_back(uv);
            plan.faceNewUVs[f].push_back(found.first->second);
        }
    }
    const int lastFileLine = static_cast<int>(source.lines.size()) - 1;
    const int firstFaceLine = firstLine < 0 ? lastFileLine + 1 : firstLine;
    plan.vertexAnchor = LastLineBefore(source.vertexLine, firstFaceLine,
                                       source.vertexLine.empty() ? lastFileLine : source.vertexLine.back());
    plan.uvAnchor = LastLineBefore(source.uvLine, firstFaceLine, plan.vertexAnchor);
    plan.faceAnchor = lastLine < 0 ? lastFileLine : lastLine;
    const int object = static_cast<int>(o);
    if (!plan.newVertices.empty())
        patch.insertions.push_back(Insertion{plan.vertexAnchor, 0, object});
    if (!plan.newUVs.empty())
        patch.insertions.push_back(Insertion{plan.uvAnchor, 1, object});
    if (!plan.newFaces.empty())
        patch.insertions.push_back(Insertion{plan.faceAnchor, 2, object});
}

// Output indices: file vertices and UVs in their lines' order, each block's
// new ones after the line it follows.
void NumberOutput(Patch& patch)
{
    const ObjSource& source = patch.source;
    patch.vertexOut.assign(source.vertexLine.size(), 0);
    patch.uvOut.assign(source.uvLine.size(), 0);
    std::size_t v = 0, t = 0, insertion = 0;
    int vertices = 0, uvs = 0;
    for (int line = 0; line < static_cast<int>(source.lines.size()); ++line) {
        if (v < source.vertexLine.size() && source.vertexLine[v] == line)
            patch.vertexOut[v++] = ++vertices;
        if (t < source.uvLine.size() && source.uvLine[t] == line)
            patch.uvOut[t++] = ++uvs;
        for (; insertion < patch.insertions.size() && patch.insertions[insertion].line == line; ++insertion) {
            ObjectPlan& plan = patch.plans[static_cast<std::size_t>(patch.insertions[insertion].object)];
            if (patch.insertions[insertion].kind == 0) {
                plan.firstNewVertex = vertices + 1;
                vertices += static_cast<int>(plan.newVertices.size());
            } else if (patch.insertions[insertion].kind == 1) {
                plan.firstNewUV = uvs + 1;
                uvs += static_cast<int>(plan.newUVs.size());
            }
        }
    }
}

int VertexOut(const Patch& patch, const ObjectPlan& plan, int vertex)
{
    const int ref = plan.vertexRef[static_cast<std::size_t>(vertex)];
    return ref >= 0 ? patch.vertexOut[static_cast<std::size_t>(ref)] : plan.firstNewVertex - ref - 1;
}

// What follows x y z on a "v" line (w, or a colour), with its blank.
std::string VertexLineRest(const ObjSource& source, int fileVertex)
{
    if (fileVertex < 0)
        return "";
    std::vector<Token> words;
    SplitWords(source.text, source.lines[static_cast<std::size_t>(source.vertexLine[static_cast<std::size_t>(fileVertex)])], words);
    return words.size() > 4 ? " " + source.text.substr(words[4].start, words.back().end - words[4].start) : "";
}

std::string UsemtlLine(const ObjSource& source, int material)
{
    return material >= 0 ? "usemtl " + source.materialNames[static_cast<std::size_t>(material)] : "usemtl";
}

// One face as a statement: "f", "l" or "p" by its point count. `record` (may
// be null) is the face as read: its UVs and normals are kept where the
// face's points and UVs are unchanged.
std::string FaceStatement(const Patch& patch, std::size_t o, std::size_t f, const ObjFaceRecord* record)
{
    const ObjectPlan& plan = patch.plans[o];
    const host::Face& face = patch.doc.objects[o]->faces[f];
    const host::Object& loaded = *patch.source.loaded.objects[o];
    const bool samePoints = record && SamePoints(face, loaded.faces[f]);
    const std::size_t count = face.points.size();
    std::string out = count >= 3 ? "f" : count == 2 ? "l" : "p";
    for (std::size_t j = 0; j < count; ++j) {
        const std::size_t k = FileCorner(j, count);
        out += " " + std::to_string(VertexOut(patch, plan, face.points[k]));
        const ObjCorner* corner = samePoints ? &patch.source.corners[record->firstCorner + j] : nullptr;
        int uv = -1;
        if (!plan.faceNewUVs[f].empty())
            uv = plan.firstNewUV + plan.faceNewUVs[f][k];
        else if (corner && corner->uv >= 0)
            uv = patch.uvOut[static_cast<std::size_t>(corner->uv)];
        const int normal = corner && count >= 3 ? corner->normal : -1;
        if (count == 1)
            continue;
        if (uv >= 0)
            out += "/" + std::to_string(uv);
        if (normal >= 0)
            out += (uv >= 0 ? "/" : "//") + std::to_string(normal + 1);
    }
    return out;
}

// Whether the records of one line come out as they were read.
bool LineUnchanged(const Patch& patch, std::size_t first, std::size_t end, bool countsAgree)
{
    const ObjSource& source = patch.source;
    for (std::size_t r = first; r < end; ++r) {
        const ObjFaceRecord& record = source.faces[r];
        const std::pair<int, int> owner = patch.owner[r];
        const std::size_t o = static_cast<std::size_t>(owner.first), f = static_cast<std::size_t>(owner.second);
        const host::Face& face = patch.doc.objects[o]->faces[f];
        const host::Face& loaded = patch.source.loaded.objects[o]->faces[f];
        if (!SamePoints(face, loaded) || !SameUVs(face, loaded) || face.material != loaded.material ||
            (record.relative && !countsAgree))
            return false;
        const std::size_t count = static_cast<std::size_t>(record.cornerCount);
        for (std::size_t j = 0; j < count; ++j) {
            const ObjCorner& corner = source.corners[record.firstCorner + j];
            if (VertexOut(patch, patch.plans[o], face.points[FileCorner(j, count)]) != corner.vertex + 1 ||
                (corner.uv >= 0 && patch.uvOut[static_cast<std::size_t>(corner.uv)] != corner.uv + 1))
                return false;
        }
    }
    return true;
}

void AppendBlock(const Patch& patch, const Insertion& insertion, int material, std::string& out)
{
    const std::size_t o = static_cast<std::size_t>(insertion.object);
    const ObjectPlan& plan = patch.plans[o];
    const host::Object& obj = *patch.doc.objects[o];
    const std::string& newline = patch.source.newline;
    if (insertion.kind == 0) {
        for (std::size_t k = 0; k < plan.newVertices.size(); ++k)
            out += "v " + PositionText(obj.vertices[static_cast<std::size_t>(plan.newVertices[k])]) +
                   VertexLineRest(patch.source, plan.newVertexSource[k]) + newline;
    } else if (insertion.kind == 1) {
        for (const host::UV& uv : plan.newUVs)
            out += "vt " + ShortestFloatText(uv.u) + " " + ShortestFloatText(uv.v) + newline;
    } else {
        int state = material;
        for (int f : plan.newFaces) {
            const int wanted = obj.faces[static_cast<std::size_t>(f)].material;
            if (wanted != state)
                out += UsemtlLine(patch.source, wanted) + newline;
            state = wanted;
            out += FaceStatement(patch, o, static_cast<std::size_t>(f), nullptr) + newline;
        }
        if (state != material)
            out += UsemtlLine(patch.source, material) + newline;
    }
}

// The patched OBJ text. `mtllib`: when not empty, the one "mtllib" statement
// that replaces the source's.
std::string PatchedObjText(Patch& patch, const std::string& mtllib)
{
    const ObjSource& source = patch.source;
    const std::string& text = source.text;
    // A UTF-8 byte order mark stays.
    std::string out = source.lines.empty() ? "" : text.substr(0, source.lines[0].start);
    out.reserve(text.size() + text.size() / 8);
    std::size_t v = 0, t = 0, record = 0, insertion = 0;
    int verticesOut = 0, uvsOut = 0;
    bool mtllibDone = false;
    std::vector<Token> words;
    for (int line = 0; line < static_cast<int>(source.lines.size()); ++line) {
        const TextLine& at = source.lines[static_cast<std::size_t>(line)];
        const std::string verbatim = text.substr(at.start, at.next - at.start);
        const std::string ending = at.next > at.end ? text.substr(at.end, at.next - at.end) : source.newline;
        const bool countsAgree = verticesOut == static_cast<int>(v) && uvsOut == static_cast<int>(t);
        int material = -1;
        if (v < source.vertexLine.size() && source.vertexLine[v] == line) {
            out += patch.moved[v] ? "v " + PositionText(patch.position[v]) + VertexLineRest(source, static_cast<int>(v)) + ending
                                  : verbatim;
            ++v;
            ++verticesOut;
        } else if (t < source.uvLine.size() && source.uvLine[t] == line) {
            out += verbatim;
            ++t;
            ++uvsOut;
        } else if (record < source.faces.size() && source.faces[record].line == line) {
            std::size_t end = record;
            while (end < source.faces.size() && source.faces[end].line == line)
                ++end;
            material = source.faces[record].material;
            if (LineUnchanged(patch, record, end, countsAgree)) {
                out += verbatim;
            } else {
                for (std::size_t r = record; r < end; ++r) {
                    const std::size_t o = static_cast<std::size_t>(patch.owner[r].first);
                    const std::size_t f = static_cast<std::size_t>(patch.owner[r].second);
                    const host::Face& face = patch.doc.objects[o]->faces[f];
                    if (face.points.empty())
                        continue;
                    // Lines and points carry no material in the document.
                    const bool switchMaterial = source.faces[r].kind == 'f' && face.material != material;
                    if (switchMaterial)
                        out += UsemtlLine(source, face.material) + source.newline;
                    out += FaceStatement(patch, o, f, &source.faces[r]) + ending;
                    if (switchMaterial)
                        out += UsemtlLine(source, material) + source.newline;
                }
            }
            record = end;
        } else if (!mtllib.empty()) {
            SplitWords(text, at, words);
            const bool isMtllib = !words.empty() && text.compare(words[0].start, words[0].end - words[0].start, "mtllib") == 0;
            if (!isMtllib)
                out += verbatim;
            else if (!mtllibDone)
                out += "mtllib " + mtllib + ending;
            mtllibDone = mtllibDone || isMtllib;
        } else {
            out += verbatim;
        }
        for (; insertion < patch.insertions.size() && patch.insertions[insertion].line == line; ++insertion) {
            const Insertion& block = patch.insertions[insertion];
            if (out.size() && out.back() != '\n')
                out += source.newline;   // the last line had no line end
            AppendBlock(patch, block, material, out);
            if (block.kind == 0)
                verticesOut += static_cast<int>(patch.plans[static_cast<std::size_t>(block.object)].newVertices.size());
            else if (block.kind == 1)
                uvsOut += static_cast<int>(patch.plans[static_cast<std::size_t>(block.object)].newUVs.size());
        }
    }
    return out;
}

// The patched text of one MTL file: map statements of changed names
// replaced, removed or added; every other statement as it was.
std::string PatchedMtlText(const host::Document& doc, const ObjSource& source, int fileIndex)
{
    const ObjMtlFile& file = source.mtlFiles[static_cast<std::size_t>(fileIndex)];
    std::map<int, std::string> replaced;           // line -> new statement ("" = dropped)
    std::map<int, std::vector<std::string>> added;  // line -> statements after it
    static const char* const kKeywords[3] = {"map_Kd", "map_d", "map_bump"};
    for (std::size_t m = 0; m < doc.materials.size(); ++m) {
        const ObjMaterialRecord& record = source.materials[m];
        if (record.file != fileIndex)
            continue;
        for (int kind = 0; kind < 3; ++kind) {
            const std::string& before = MapName(*source.loaded.materials[m], kind);
            if (MapName(*doc.materials[m], kind) == before)
                continue;
            std::string now = MapName(*doc.materials[m], kind);
            std::string latin1;
            if (source.latin1 && Utf8ToLatin1(now, latin1))
                now = latin1;   // the file's own encoding
            const int line = record.mapLine[kind];
            if (line < 0) {
                added[record.lastLine].push_back(std::string(kKeywords[kind]) + " " + OneLine(now));
                continue;
            }
            const TextLine& at = file.lines[static_cast<std::size_t>(line)];
            std::string statement = Trimmed(file.text, at.start, at.end);
            std::vector<Token> words;
            SplitWords(file.text, at, words);
            const std::string keyword = file.text.substr(words[0].start, words[0].end - words[0].start);
            // Options before the name stay ("-s 2 2 1 name").
            std::string old = before;
            if (source.latin1 && !Utf8ToLatin1(before, old))
                old = before;
            if (!old.empty() && statement.size() > old.size() &&
                statement.compare(statement.size() - old.size(), old.size(), old) == 0)
                statement = statement.substr(0, statement.size() - old.size()) + OneLine(now);
            else
                statement = keyword + " " + OneLine(now);
            replaced[line] = now.empty() ? "" : statement;
        }
    }
    if (replaced.empty() && added.empty())
        return file.text;
    std::string out = file.lines.empty() ? "" : file.text.substr(0, file.lines[0].start);
    for (std::size_t l = 0; l < file.lines.size(); ++l) {
        const TextLine& at = file.lines[l];
        const std::string ending = at.next > at.end ? file.text.substr(at.end, at.next - at.end) : "\n";
        const auto replacement = replaced.find(static_cast<int>(l));
        if (replacement == replaced.end())
            out += file.text.substr(at.start, at.next - at.start);
        else if (!replacement->second.empty())
            out += replacement->second + ending;
        const auto more = added.find(static_cast<int>(l));
        if (more != added.end()) {
            if (at.next == at.end)
                out += "\n";
            for (const std::string& statement : more->second)
                out += statement + ending;
        }
    }
    return out;
}

}  // namespace

bool WritePatched(const std::string& path, const host::Document& doc, const ObjSource& source,
                  std::string& notes, std::string& error)
{
    Patch patch{doc, source, {}, {}, {}, {}, {}, {}, {}, 0, 0};
    patch.plans.resize(doc.objects.size());
    patch.owner.assign(source.faces.size(), {-1, -1});
    patch.moved.assign(source.vertexLine.size(), 0);
    patch.position.assign(source.vertexLine.size(), host::Vec3{0.0f, 0.0f, 0.0f});
    std::vector<char> claimed(source.vertexLine.size(), 0);
    for (std::size_t o = 0; o < doc.objects.size(); ++o)
        PlanObject(patch, o, claimed);
    std::sort(patch.insertions.begin(), patch.insertions.end());
    NumberOutput(patch);

    const bool inPlace = SameFile(path, source.path);
    // Another file gets one MTL file of its own beside it.
    const std::string mtlPath = !inPlace && !source.mtlFiles.empty() ? MtlFileNameFor(path) : "";
    const std::string text = PatchedObjText(patch, mtlPath.empty() ? "" : FileNameOf(mtlPath));
    const bool unchanged = inPlace && text == source.text;
    // The MTL files go first: the OBJ file must be writable before them.
    if (std::string why; !unchanged && !CheckWritable(path, why)) {
        error = path + ": cannot write: " + why;
        return false;
    }
    if (inPlace) {
        for (std::size_t m = 0; m < source.mtlFiles.size(); ++m) {
            const std::string mtl = PatchedMtlText(doc, source, static_cast<int>(m));
            if (mtl != source.mtlFiles[m].text && !WriteText(source.mtlFiles[m].path, mtl, error))
                return false;
        }
    } else if (!mtlPath.empty()) {
        std::string mtl;
        for (std::size_t m = 0; m < source.mtlFiles.size(); ++m)
            mtl += PatchedMtlText(doc, source, static_cast<int>(m));
        if (!WriteText(mtlPath, mtl, error))
            return false;
    }
    if (unchanged)
        notes += path + ": nothing the file holds changed; left as it was\n";
    else if (!WriteText(path, text, error))
        return false;
    if (patch.normalsDropped > 0)
        notes += path + ": " + std::to_string(patch.normalsDropped) +
                 (patch.normalsDropped == 1 ? " face that the commands added or changed has"
                                            : " faces that the commands added or changed have") +
                 " no normals (the others keep theirs)\n";
    if (patch.uncolouredVertices > 0)
        notes += path + ": " + std::to_string(patch.uncolouredVertices) +
                 " vertices that the commands added have no colour\n";
    return true;
}

}  // namespace host::obj
