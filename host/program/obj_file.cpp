#include "host/program/obj_file.h"

// The double build of the reader (its CMake target defines
// TINYOBJLOADER_USE_DOUBLE); only its MTL reader is used.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <filesystem>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include "host/library/view_matrix.h"
#include "host/program/change_report.h"
#include "host/program/file_io.h"
#include "host/program/float_text.h"
#include "host/program/text_encoding.h"

namespace hostapp {

static_assert(sizeof(tinyobj::real_t) == sizeof(double), "link the double build of tinyobjloader");

namespace {

// --- Strict text -----------------------------------------------------------------

std::string Place(const std::string& path, int line, std::size_t column)
{
    return path + ":" + std::to_string(line + 1) + ":" + std::to_string(column + 1) + ": ";
}

// The file corner of a face's point `k`: OBJ polygons run counter-clockwise
// seen from their front, the host's clockwise, so a polygon's points are
// reversed on the way in and out (lines and points have no front).
std::size_t FileCorner(std::size_t k, std::size_t count)
{
    return count >= 3 ? count - 1 - k : k;
}

// A name of the file as the document holds it: UTF-8.
std::string ToUtf8(const ObjSource& source, const std::string& name)
{
    return source.latin1 ? Latin1ToUtf8(name) : name;
}

// Splits `bytes` into lines (any byte but NUL is a character of a Latin-1
// text), refusing what is not UTF-8 text: byte order
// marks of UTF-16 and UTF-32, NUL bytes, malformed sequences. A UTF-8 byte
// order mark is skipped (it is UTF-8 text).
bool SplitTextLines(const std::string& path, const std::string& bytes,
                    std::vector<TextLine>& lines, std::string& error, bool latin1)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (StartsWithWideByteOrderMark(bytes)) {
        error = Place(path, 0, 0) + kWideByteOrderMarkMessage;
        return false;
    }
    std::size_t i = size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF ? 3 : 0;
    std::size_t lineStart = i;
    while (i < size) {
        const unsigned char c = b[i];
        if (c == '\n') {
            const std::size_t end = i > lineStart && b[i - 1] == '\r' ? i - 1 : i;
            lines.push_back(TextLine{lineStart, end, i + 1});
            lineStart = ++i;
            continue;
        }
        const int line = static_cast<int>(lines.size());
        if (c == 0) {
            error = Place(path, line, i - lineStart) + "a NUL byte: not a text file";
            return false;
        }
        std::size_t length = 1;
        std::uint32_t point = c, lowest = 0;
        if (c >= 0x80 && !latin1) {
            length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
            lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
            point = c & (length == 2 ? 0x1Fu : length == 3 ? 0x0Fu : 0x07u);
            bool valid = length > 0 && i + length <= size;
            for (std::size_t k = 1; valid && k < length; ++k) {
                valid = (b[i + k] & 0xC0u) == 0x80u;
                point = (point << 6) | (b[i + k] & 0x3Fu);
            }
            if (!valid || point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", c);
                error = Place(path, line, i - lineStart) + "byte " + hex + " is not UTF-8 text";
                return false;
            }
        }
        i += length;
    }
    if (lineStart < size)
        lines.push_back(TextLine{lineStart, size, size});
    return true;
}

struct Token {
    std::size_t start, end;   // offsets into the text
};

// Blank-separated words of a line; a word starting with '#' ends it.
void SplitWords(const std::string& text, const TextLine& line, std::vector<Token>& words)
{
    words.clear();
    std::size_t i = line.start;
    while (i < line.end) {
        while (i < line.end && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i == line.end || text[i] == '#')
            break;
        const std::size_t start = i;
        while (i < line.end && text[i] != ' ' && text[i] != '\t')
            ++i;
        words.push_back(Token{start, i});
    }
}

std::string Trimmed(const std::string& text, std::size_t start, std::size_t end)
{
    while (start < end && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(start, end - start);
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

// --- Reading an OBJ file ---------------------------------------------------------

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


namespace {

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

namespace {

// --- Writing a document back over the file it was read from ---------------------------

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

const std::string& MapName(const host::Material& material, int kind)
{
    return kind == 0 ? material.texture : kind == 1 ? material.alpha : material.bump;
}

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

std::string PositionText(const host::Vec3& p)
{
    return ShortestFloatText(p.x) + " " + ShortestFloatText(p.y) + " " + ShortestFloatText(p.z);
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

bool WriteText(const std::string& path, const std::string& text, std::string& error)
{
    std::string why;
    if (WriteFileAtomically(path, text, why))
        return true;
    error = path + ": cannot write: " + why;
    return false;
}

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
    std::string mtlName;
    if (inPlace) {
        for (std::size_t m = 0; m < source.mtlFiles.size(); ++m) {
            const std::string text = PatchedMtlText(doc, source, static_cast<int>(m));
            if (text != source.mtlFiles[m].text && !WriteText(source.mtlFiles[m].path, text, error))
                return false;
        }
    } else if (!source.mtlFiles.empty()) {
        // Another file gets one MTL file of its own beside it.
        std::string text;
        for (std::size_t m = 0; m < source.mtlFiles.size(); ++m)
            text += PatchedMtlText(doc, source, static_cast<int>(m));
        const std::string mtlPath = MtlFileNameFor(path);
        if (!WriteText(mtlPath, text, error))
            return false;
        mtlName = FileNameOf(mtlPath);
    }
    const std::string text = PatchedObjText(patch, mtlName);
    if (inPlace && text == source.text)
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

}  // namespace hostapp
