// Reading an OBJ file and the MTL files it names, strictly, into a document
// and the ObjSource that keeps what the document does not hold.
#include "host/program/obj_file.h"

// The double build of the reader (its CMake target defines
// TINYOBJLOADER_USE_DOUBLE); only its MTL reader is used.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "host/library/view_matrix.h"
#include "host/program/file_io.h"
#include "host/program/obj_text.h"
#include "host/library/text_encoding.h"

namespace host {

static_assert(sizeof(tinyobj::real_t) == sizeof(double), "link the double build of tinyobjloader");

using namespace obj;

namespace {

// A name of the file as the document holds it: UTF-8.
std::string ToUtf8(const ObjSource& source, const std::string& name)
{
    return source.latin1 ? Latin1ToUtf8(name) : name;
}

// A decimal number read whole, as the document reader reads JSON numbers:
// an optional sign, digits with an optional fraction, an optional exponent;
// no nan, no infinity, nothing too large for a float. `what` says why not.
bool ReadNumber(const char* begin, const char* end, float& out, std::string& what)
{
    const char* p = begin;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    const char* const unsignedStart = p;
    std::size_t digits = 0;
    while (p < end && *p >= '0' && *p <= '9')
        ++p, ++digits;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9')
            ++p, ++digits;
    }
    bool valid = digits > 0;
    if (valid && p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-'))
            ++p;
        std::size_t exponentDigits = 0;
        while (p < end && *p >= '0' && *p <= '9')
            ++p, ++exponentDigits;
        valid = exponentDigits > 0;
    }
    if (!valid || p != end) {
        what = "\"" + std::string(begin, end) + "\" is not a number";
        return false;
    }
    // The grammar is checked above; from_chars rounds as strtof does, without
    // a copy or the locale. It takes no '+', and a '-' is kept for -0.
    const std::from_chars_result read =
        std::from_chars(*begin == '+' ? unsignedStart : begin, end, out);
    if (read.ec == std::errc::result_out_of_range) {
        // Underflow rounds to zero (or the smallest float), as strtof gives.
        out = std::strtof(std::string(begin, end).c_str(), nullptr);
    }
    if (std::isinf(out) || read.ptr != end) {
        what = std::string(begin, end) + " is too large for a float";
        return false;
    }
    return true;
}

// An index of an "f", "l" or "p" corner: a whole integer, not 0; negative
// counts back from the last one read so far.
bool ReadIndex(const char* begin, const char* end, int countSoFar, int& out, std::string& what)
{
    const std::string word(begin, end);
    const char* p = word.c_str();
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    long long value = 0;
    std::size_t digits = 0;
    while (*p >= '0' && *p <= '9' && value < (1LL << 40))
        value = value * 10 + (*p++ - '0'), ++digits;
    if (digits == 0 || *p != '\0') {
        what = "\"" + word + "\" is not an index";
        return false;
    }
    if (value == 0) {
        what = "index 0: OBJ counts from 1";
        return false;
    }
    if (value > 0x7FFFFFFF) {
        what = word + " is too large for an index";
        return false;
    }
    out = negative ? countSoFar - static_cast<int>(value) : static_cast<int>(value) - 1;
    if (out < 0) {
        what = word + " counts back beyond the first (" + std::to_string(countSoFar) +
               " read so far)";
        return false;
    }
    return true;
}



struct ObjObjectDraft {
    std::string name;
    std::vector<int> faces;
};

// An index that lies beyond what was read so far, to be checked at the end.
struct LaterIndex {
    int line;
    std::size_t column;
    int index;
    int kind;   // 0 vertex, 1 texture coordinate, 2 normal
};

struct ObjReader {
    const std::string& path;
    ObjSource& source;
    std::string& notes;
    std::string& error;
    std::vector<float> positions;
    std::vector<float> uvs;
    std::vector<ObjObjectDraft> objects;   // starts with the unnamed one
    std::vector<tinyobj::material_t> materials;
    std::vector<std::string> usemtlNames;   // per distinct "usemtl" name, resolved at the end
    std::map<std::string, int> usemtlIndex;
    int material;                           // into usemtlNames, -1 none yet
    std::vector<LaterIndex> later;
    std::vector<Token> words;

    bool Fail(int line, std::size_t offset, const std::string& what)
    {
        error = Place(path, line, offset - source.lines[static_cast<std::size_t>(line)].start) + what;
        return false;
    }
    const char* At(std::size_t offset) const { return source.text.data() + offset; }
};

// Reads the numbers of a "v", "vt" or "vn" line (`least` to `most`, or
// `alsoAllowed`); the first `keep` go to `out`.
bool ReadCoordinates(ObjReader& reader, int line, const char* keyword, std::size_t least,
                     std::size_t most, std::size_t alsoAllowed, std::size_t keep,
                     std::vector<float>* out)
{
    const std::size_t count = reader.words.size() - 1;
    if (count < least || (count > most && count != alsoAllowed)) {
        const Token& at = count < least ? reader.words.back() : reader.words[most + 1];
        std::string expected = std::to_string(least);
        if (most > least)
            expected += (alsoAllowed ? ", " : " or ") + std::to_string(most);
        if (alsoAllowed)
            expected += " or " + std::to_string(alsoAllowed);
        return reader.Fail(line, count < least ? at.end : at.start,
                           std::string("\"") + keyword + "\" takes " + expected + " numbers, found " +
                               std::to_string(count));
    }
    for (std::size_t k = 1; k < reader.words.size(); ++k) {
        float value = 0.0f;
        std::string what;
        if (!ReadNumber(reader.At(reader.words[k].start), reader.At(reader.words[k].end), value, what))
            return reader.Fail(line, reader.words[k].start, what);
        if (out && k <= keep)
            out->push_back(value);
    }
    return true;
}

bool ReadCorners(ObjReader& reader, int line, char kind)
{
    const std::size_t count = reader.words.size() - 1;
    const std::size_t least = kind == 'f' ? 3 : kind == 'l' ? 2 : 1;
    if (count < least)
        return reader.Fail(line, reader.words.back().end,
                           std::string("\"") + kind + "\" needs at least " + std::to_string(least) +
                               (least == 1 ? " point" : " points"));
    ObjSource& source = reader.source;
    const int counts[3] = {static_cast<int>(source.vertexLine.size()),
                           static_cast<int>(source.uvLine.size()), source.normalCount};
    const std::size_t first = source.corners.size();
    bool relative = false;
    for (std::size_t k = 1; k <= count; ++k) {
        ObjCorner corner{-1, -1, -1};
        int* parts[3] = {&corner.vertex, &corner.uv, &corner.normal};
        std::size_t start = reader.words[k].start;
        const std::size_t end = reader.words[k].end;
        for (int part = 0; part < 3; ++part) {
            // Within the word only: a search to the end of the text for
            // every corner made reading quadratic in files without slashes.
            const void* found = std::memchr(source.text.data() + start, '/', end - start);
            const std::size_t slash =
                found ? static_cast<std::size_t>(static_cast<const char*>(found) - source.text.data()) : end;
            if (part == 0 || slash > start) {
                if (part == 2 && kind != 'f')
                    return reader.Fail(line, start, std::string("\"") + kind + "\" corners have no normal");
                std::string what;
                if (!ReadIndex(reader.At(start), reader.At(slash), counts[part], *parts[part], what))
                    return reader.Fail(line, start, what);
                relative = relative || source.text[start] == '-';
                if (*parts[part] >= counts[part])
                    reader.later.push_back(LaterIndex{line, start, *parts[part], part});
            }
            if (slash == end)
                break;
            if (part == 2)
                return reader.Fail(line, slash, "a corner has at most three parts (v/vt/vn)");
            start = slash + 1;
        }
        source.corners.push_back(corner);
    }
    const auto addFace = [&](std::size_t firstCorner, int cornerCount) {
        reader.objects.back().faces.push_back(static_cast<int>(source.faces.size()));
        source.faces.push_back(ObjFaceRecord{line, kind, relative, reader.material, firstCorner,
                                             cornerCount});
    };
    if (kind == 'f') {
        addFace(first, static_cast<int>(count));
    } else if (kind == 'l') {
        for (std::size_t k = 0; k + 1 < count; ++k)
            addFace(first + k, 2);
    } else {
        for (std::size_t k = 0; k < count; ++k)
            addFace(first + k, 1);
    }
    return true;
}

int MapKind(const std::string& keyword)
{
    if (keyword == "map_Kd")
        return 0;
    if (keyword == "map_d")
        return 1;
    if (keyword == "map_bump" || keyword == "map_Bump" || keyword == "bump")
        return 2;
    return -1;
}

// Checks an MTL file's numbers as strictly as the OBJ's and notes where each
// material's statements are.
bool CheckMtlFile(ObjReader& reader, ObjMtlFile& file, int fileIndex,
                  std::vector<ObjMaterialRecord>& records, std::size_t& newmtlCount)
{
    std::vector<Token>& words = reader.words;
    for (std::size_t l = 0; l < file.lines.size(); ++l) {
        SplitWords(file.text, file.lines[l], words);
        if (words.empty())
            continue;
        const int line = static_cast<int>(l);
        const std::string keyword = file.text.substr(words[0].start, words[0].end - words[0].start);
        const auto fail = [&](std::size_t offset, const std::string& what) {
            reader.error = Place(file.path, line, offset - file.lines[l].start) + what;
            return false;
        };
        if (keyword == "newmtl") {
            ++newmtlCount;
            records.emplace_back();
            records.back().file = fileIndex;
            records.back().lastLine = line;
            continue;
        }
        if (!records.empty() && records.back().file == fileIndex)
            records.back().lastLine = line;
        const int kind = MapKind(keyword);
        if (kind >= 0) {
            if (!records.empty() && records.back().file == fileIndex)
                records.back().mapLine[kind] = line;
            continue;
        }
        ++reader.source.mtlOtherStatements;
        const bool colour = keyword == "Ka" || keyword == "Kd" || keyword == "Ks" ||
                            keyword == "Ke" || keyword == "Kt" || keyword == "Tf";
        const bool scalar = keyword == "Ns" || keyword == "Ni" || keyword == "d" ||
                            keyword == "Tr" || keyword == "illum" || keyword == "sharpness";
        if (!colour && !scalar)
            continue;
        const std::string first =
            words.size() > 1 ? file.text.substr(words[1].start, words[1].end - words[1].start) : "";
        if (first == "spectral" || first == "xyz" || first == "-halo")
            continue;
        const std::size_t count = words.size() - 1;
        if (count < 1 || count > (colour ? 3u : 1u) || count == 2)
            return fail(count < 1 ? words[0].end : words[count].start,
                        "\"" + keyword + "\" takes " + (colour ? "3 numbers" : "1 number") +
                            ", found " + std::to_string(count));
        for (std::size_t k = 1; k < words.size(); ++k) {
            float value = 0.0f;
            std::string what;
            if (!ReadNumber(file.text.data() + words[k].start, file.text.data() + words[k].end,
                            value, what))
                return fail(words[k].start, what);
        }
    }
    return true;
}

// "mtllib a.mtl b.mtl": the first of the names that can be read, relative to
// the OBJ's folder, as other readers do.
bool ReadMtllib(ObjReader& reader, int line)
{
    for (std::size_t k = 1; k < reader.words.size(); ++k) {
        const std::string name = reader.source.text.substr(
            reader.words[k].start, reader.words[k].end - reader.words[k].start);
        for (const ObjMtlFile& file : reader.source.mtlFiles) {
            if (file.path == FolderOf(reader.path) + "/" + name || file.path == name)
                return true;   // read already
        }
        ObjMtlFile file;
        file.path = !name.empty() && name[0] == '/' ? name : FolderOf(reader.path) + "/" + name;
        std::string why;
        if (!ReadWholeFile(file.path, file.text, why))
            continue;
        if (!SplitTextLines(file.path, file.text, file.lines, reader.error, reader.source.latin1))
            return false;
        const int fileIndex = static_cast<int>(reader.source.mtlFiles.size());
        std::vector<ObjMaterialRecord> records;
        std::size_t newmtlCount = 0;
        if (!CheckMtlFile(reader, file, fileIndex, records, newmtlCount))
            return false;
        std::map<std::string, int> names;
        std::istringstream stream(file.text);
        std::string warnings, errors;
        const std::size_t before = reader.materials.size();
        tinyobj::LoadMtl(&names, &reader.materials, &stream, &warnings, &errors);
        // The reader adds one unnamed material for statements before any
        // "newmtl"; those statements cannot be patched.
        if (reader.materials.size() - before != records.size())
            records.assign(reader.materials.size() - before, ObjMaterialRecord{});
        reader.source.materials.insert(reader.source.materials.end(), records.begin(), records.end());
        reader.source.mtlFiles.push_back(std::move(file));
        return true;
    }
    reader.notes += Place(reader.path, line, reader.words[0].start -
                                                 reader.source.lines[static_cast<std::size_t>(line)].start) +
                    "warning: no material file named here can be read; the faces get no material\n";
    return true;
}

bool ReadObjLines(ObjReader& reader)
{
    ObjSource& source = reader.source;
    for (std::size_t l = 0; l < source.lines.size(); ++l) {
        const int line = static_cast<int>(l);
        std::vector<Token>& words = reader.words;
        SplitWords(source.text, source.lines[l], words);
        if (words.empty()) {
            const std::string text = Trimmed(source.text, source.lines[l].start, source.lines[l].end);
            source.commentCount += !text.empty() && text[0] == '#' ? 1 : 0;
            continue;
        }
        const std::string keyword = source.text.substr(words[0].start, words[0].end - words[0].start);
        const auto rest = [&]() {
            return words.size() > 1 ? source.text.substr(words[1].start, words.back().end - words[1].start)
                                    : std::string();
        };
        if (keyword == "v") {
            if (!ReadCoordinates(reader, line, "v", 3, 4, 6, 3, &reader.positions))
                return false;
            source.vertexLine.push_back(line);
            source.colourCount += words.size() == 7 ? 1 : 0;
        } else if (keyword == "vt") {
            if (!ReadCoordinates(reader, line, "vt", 2, 3, 0, 2, &reader.uvs))
                return false;
            source.uvLine.push_back(line);
        } else if (keyword == "vn") {
            if (!ReadCoordinates(reader, line, "vn", 3, 3, 0, 0, nullptr))
                return false;
            ++source.normalCount;
        } else if (keyword == "f" || keyword == "l" || keyword == "p") {
            if (!ReadCorners(reader, line, keyword[0]))
                return false;
        } else if (keyword == "o" || keyword == "g") {
            if (!reader.objects.back().faces.empty())
                reader.objects.emplace_back();
            reader.objects.back().name = rest();
        } else if (keyword == "usemtl") {
            const std::string name = rest();
            const auto found = reader.usemtlIndex.emplace(name, static_cast<int>(reader.usemtlNames.size()));
            if (found.second)
                reader.usemtlNames.push_back(name);
            reader.material = found.first->second;
        } else if (keyword == "mtllib") {
            if (!ReadMtllib(reader, line))
                return false;
        } else if (keyword == "s") {
            ++source.smoothingCount;
        } else {
            ++source.otherStatements[keyword];   // free-form curves, "vp", "cstype", ...
        }
    }
    const int counts[3] = {static_cast<int>(source.vertexLine.size()),
                           static_cast<int>(source.uvLine.size()), source.normalCount};
    static const char* const kNouns[3] = {"vertex", "texture coordinate", "normal"};
    static const char* const kPlurals[3] = {"vertices", "texture coordinates", "normals"};
    for (const LaterIndex& index : reader.later) {
        if (index.index >= counts[index.kind])
            return reader.Fail(index.line, index.column,
                               std::string(kNouns[index.kind]) + " " + std::to_string(index.index + 1) +
                                   " does not exist (the file has " + std::to_string(counts[index.kind]) +
                                   " " + (counts[index.kind] == 1 ? kNouns : kPlurals)[index.kind] + ")");
    }
    if (source.vertexLine.empty() && source.faces.empty()) {
        reader.error = Place(reader.path, 0, 0) + "the file holds no vertex and no face";
        return false;
    }
    return true;
}

// Adds one object for a draft. `keepAll`: the object takes every vertex of
// the file in order (the file has one object), else only those its faces
// use, in the file's order. `mark` is all -1 and is left so.
void AddDraftObject(ObjReader& reader, host::Document& doc, const ObjObjectDraft& draft,
                    bool keepAll, std::vector<int>& mark)
{
    ObjSource& source = reader.source;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, ToUtf8(source, draft.name)));
    ObjObjectRecord record;
    const int vertexCount = static_cast<int>(source.vertexLine.size());
    if (keepAll) {
        for (int v = 0; v < vertexCount; ++v)
            record.fileVertex.push_back(v);
    } else {
        for (int face : draft.faces) {
            const ObjFaceRecord& f = source.faces[static_cast<std::size_t>(face)];
            for (int k = 0; k < f.cornerCount; ++k) {
                const int v = source.corners[f.firstCorner + static_cast<std::size_t>(k)].vertex;
                if (mark[static_cast<std::size_t>(v)] < 0) {
                    mark[static_cast<std::size_t>(v)] = 0;
                    record.fileVertex.push_back(v);
                }
            }
        }
        std::sort(record.fileVertex.begin(), record.fileVertex.end());
    }
    for (std::size_t local = 0; local < record.fileVertex.size(); ++local) {
        const std::size_t v = static_cast<std::size_t>(record.fileVertex[local]);
        mark[v] = static_cast<int>(local);
        host::AddVertex(obj, host::Vec3{reader.positions[v * 3], reader.positions[v * 3 + 1],
                                        reader.positions[v * 3 + 2]});
    }
    std::vector<int> points;
    for (char kind : {'f', 'l', 'p'}) {
        for (int face : draft.faces) {
            const ObjFaceRecord& f = source.faces[static_cast<std::size_t>(face)];
            if (f.kind != kind)
                continue;
            points.clear();
            const std::size_t count = static_cast<std::size_t>(f.cornerCount);
            for (std::size_t k = 0; k < count; ++k)
                points.push_back(mark[static_cast<std::size_t>(
                    source.corners[f.firstCorner + FileCorner(k, count)].vertex)]);
            const int index = host::AddFace(obj, points, kind == 'f' ? f.material : -1);
            assert(index >= 0);
            host::Face& added = obj.faces[static_cast<std::size_t>(index)];
            for (std::size_t k = 0; k < count; ++k) {
                const int uv = source.corners[f.firstCorner + FileCorner(k, count)].uv;
                if (uv >= 0)
                    added.uv[static_cast<std::size_t>(k)] =
                        host::UV{reader.uvs[static_cast<std::size_t>(uv) * 2],
                                 reader.uvs[static_cast<std::size_t>(uv) * 2 + 1]};
            }
            record.faces.push_back(face);
        }
    }
    for (int v : record.fileVertex)
        mark[static_cast<std::size_t>(v)] = -1;
    source.objects.push_back(std::move(record));
}

}  // namespace

bool ImportObj(const std::string& path, host::Document& doc,
               std::shared_ptr<const ObjSource>* sourceOut, std::string& notes, std::string& error,
               bool latin1)
{
    assert(doc.objects.empty() && doc.materials.empty());
    // OBJ holds no view: the document is seen from the host's front.
    host::FrontViewMatrix(doc.scene.view);
    auto source = std::make_shared<ObjSource>();
    source->path = path;
    std::string why;
    if (!ReadWholeFile(path, source->text, why)) {
        error = path + ": cannot read: " + why;
        return false;
    }
    source->latin1 = latin1;
    if (!SplitTextLines(path, source->text, source->lines, error, latin1))
        return false;
    source->newline =
        !source->lines.empty() && source->lines[0].next == source->lines[0].end + 2 ? "\r\n" : "\n";
    std::string remarks;
    ObjReader reader{path, *source, remarks, error, {}, {}, std::vector<ObjObjectDraft>(1), {}, {}, {}, -1, {}, {}};
    if (!ReadObjLines(reader))
        return false;

    // Faces name materials by name; an MTL file may come after the "usemtl".
    std::vector<int> resolved(reader.usemtlNames.size(), -1);
    for (std::size_t n = 0; n < reader.usemtlNames.size(); ++n) {
        for (std::size_t m = 0; m < reader.materials.size() && resolved[n] < 0; ++m) {
            if (reader.materials[m].name == reader.usemtlNames[n])
                resolved[n] = static_cast<int>(m);
        }
        if (resolved[n] < 0 && !reader.usemtlNames[n].empty())
            remarks += path + ": warning: material \"" + reader.usemtlNames[n] +
                       "\" is in no material file; its faces get no material\n";
    }
    for (ObjFaceRecord& face : source->faces)
        face.material = face.material >= 0 ? resolved[static_cast<std::size_t>(face.material)] : -1;
    for (const tinyobj::material_t& material : reader.materials) {
        host::Material& added = *host::GetMaterial(doc, host::AddMaterial(doc, ToUtf8(*source, material.name)));
        added.texture = ToUtf8(*source, material.diffuse_texname);
        added.alpha = ToUtf8(*source, material.alpha_texname);
        added.bump = ToUtf8(*source, material.bump_texname);
        source->materialNames.push_back(material.name);
    }

    std::vector<ObjObjectDraft> drafts;
    for (ObjObjectDraft& draft : reader.objects) {
        if (!draft.faces.empty())
            drafts.push_back(std::move(draft));
    }
    if (drafts.empty())
        drafts.push_back(ObjObjectDraft{});   // vertices and nothing else: one object holds them
    std::vector<int> mark(source->vertexLine.size(), -1);
    for (const ObjObjectDraft& draft : drafts)
        AddDraftObject(reader, doc, draft, drafts.size() == 1, mark);

    std::size_t kept = 0;
    for (const auto& obj : doc.objects)
        kept += obj->vertices.size();
    if (drafts.size() > 1 && kept < source->vertexLine.size())
        remarks += path + ": " + std::to_string(source->vertexLine.size() - kept) +
                   " vertices that no face uses are not in the document (OBJ does not say which "
                   "object they belong to); writing the file back keeps them\n";
    notes += remarks;
    source->loaded = CopyDocument(doc);
    if (sourceOut)
        *sourceOut = std::move(source);
    return true;
}

bool ImportObj(const std::string& path, host::Document& doc, std::string& notes, std::string& error)
{
    return ImportObj(path, doc, nullptr, notes, error);
}

}  // namespace host
