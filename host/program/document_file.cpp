#include "host/program/document_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

#include "host/program/file_io.h"
#include "host/program/float_text.h"
#include "host/library/view_matrix.h"
#include "host/program/obj_file.h"
#include "host/library/text_encoding.h"

namespace host {

namespace {

// Floats are parsed straight to float (strtof), never through double, so
// that the shortest text of a float always reads back as that float.
using Json = nlohmann::basic_json<std::map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, float>;

constexpr const char* kFormatName = "kivera-document";
constexpr int kFormatVersion = 1;

// The library's document builder, keeping the position of the first fault
// (syntax errors and numbers too large for a float alike) instead of
// throwing.
struct PositionedDomParser : nlohmann::detail::json_sax_dom_parser<Json> {
    explicit PositionedDomParser(Json& result)
        : nlohmann::detail::json_sax_dom_parser<Json>(result, false)
    {
    }
    bool parse_error(std::size_t position, const std::string& /*lastToken*/,
                     const nlohmann::detail::exception& fault)
    {
        errorPosition = position;
        errorText = fault.what();
        return false;
    }
    std::size_t errorPosition = 0;
    std::string errorText;
};

// "[json.exception.parse_error.101] parse error at line 1, column 5: syntax
// error ...; last read: 'tru'" -> "syntax error ...".
std::string LibraryMessage(const std::string& text)
{
    std::string message = text;
    if (!message.empty() && message[0] == '[') {
        const size_t close = message.find("] ");
        if (close != std::string::npos)
            message.erase(0, close + 2);
    }
    if (message.rfind("parse error", 0) == 0) {
        const size_t colon = message.find(": ");
        if (colon != std::string::npos)
            message.erase(0, colon + 2);
    }
    // What the parser read last can span lines; the line and column say
    // where instead.
    const size_t lastRead = message.find("; last read:");
    if (lastRead != std::string::npos)
        message.erase(lastRead);
    return message;
}

// Line and column (both from 1) of the character that the parser read last.
void LineAndColumn(const std::string& text, std::size_t position, int& line, int& column)
{
    const std::size_t end = std::min(position > 0 ? position - 1 : 0, text.size());
    line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    column = static_cast<int>(end - lineStart) + 1;
}

// --- Reading values with their place in the document ------------------------

struct Reader {
    const std::string& fileName;
    std::string& error;

    bool Fail(const std::string& where, const std::string& what)
    {
        error = fileName + ": " + (where.empty() ? "" : where + ": ") + what;
        return false;
    }
};

const char* TypeName(const Json& value)
{
    switch (value.type()) {
    case Json::value_t::null:
        return "null";
    case Json::value_t::object:
        return "an object";
    case Json::value_t::array:
        return "an array";
    case Json::value_t::string:
        return "a string";
    case Json::value_t::boolean:
        return "true or false";
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
        return "an integer";
    case Json::value_t::number_float:
        return "a number with a fraction";
    default:
        return "something else";
    }
}

std::string Found(const Json& value) { return std::string(", found ") + TypeName(value); }

std::string Join(const std::string& where, const std::string& part)
{
    return where.empty() ? part : where + ", " + part;
}

bool CheckKeys(Reader& reader, const Json& object, const std::string& where,
               std::initializer_list<const char*> allowed)
{
    for (const auto& item : object.items()) {
        bool known = false;
        for (const char* key : allowed)
            known = known || item.key() == key;
        if (!known) {
            std::string list;
            for (const char* key : allowed)
                list += std::string(list.empty() ? "" : ", ") + "\"" + key + "\"";
            return reader.Fail(where, "unknown key \"" + item.key() + "\" (known: " + list + ")");
        }
    }
    return true;
}

bool ReadInt(Reader& reader, const Json& value, const std::string& where, int& out)
{
    if (value.is_number_integer()) {
        const std::int64_t number = value.get<std::int64_t>();
        if (number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()) {
            out = static_cast<int>(number);
            return true;
        }
        return reader.Fail(where, "the integer " + std::to_string(number) + " is out of range");
    }
    if (value.is_number_unsigned())
        return reader.Fail(where, "the integer " + std::to_string(value.get<std::uint64_t>()) +
                                      " is out of range");
    return reader.Fail(where, "expected an integer" + Found(value));
}

// An index in [lowest, count): vertex, line, material or object indices.
// `owner` and `noun` name the range in the error ("the object", "vertices").
bool ReadIndex(Reader& reader, const Json& value, const std::string& where, int lowest, int count,
               const std::string& owner, const std::string& noun, int& out)
{
    if (!ReadInt(reader, value, where, out))
        return false;
    if (out >= lowest && out < count)
        return true;
    std::string what = std::to_string(out) + " is out of range: " + owner;
    if (count <= 0)
        what += " has no " + noun;
    else
        what += " has " + noun + " 0 to " + std::to_string(count - 1);
    if (lowest < 0)
        what += " (-1 means none)";
    return reader.Fail(where, what);
}

bool ReadFloat(Reader& reader, const Json& value, const std::string& where, float& out)
{
    if (value.is_number_float()) {
        out = value.get<float>();
        return true;
    }
    if (value.is_number_integer()) {
        // Correctly rounded for any int64, like strtof on the same digits.
        out = static_cast<float>(value.get<std::int64_t>());
        return true;
    }
    if (value.is_number_unsigned()) {
        out = static_cast<float>(value.get<std::uint64_t>());
        return true;
    }
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text == "nan") {
            out = std::numeric_limits<float>::quiet_NaN();
            return true;
        }
        if (text == "inf" || text == "-inf") {
            out = text == "inf" ? std::numeric_limits<float>::infinity()
                                : -std::numeric_limits<float>::infinity();
            return true;
        }
        return reader.Fail(where, "expected a number (or \"nan\", \"inf\", \"-inf\"), found the "
                                  "string \"" + text + "\"");
    }
    return reader.Fail(where, "expected a number" + Found(value));
}

bool ReadString(Reader& reader, const Json& value, const std::string& where, std::string& out)
{
    if (!value.is_string())
        return reader.Fail(where, "expected a string" + Found(value));
    out = value.get<std::string>();
    return true;
}

bool ReadBool(Reader& reader, const Json& value, const std::string& where, bool& out)
{
    if (!value.is_boolean())
        return reader.Fail(where, "expected true or false" + Found(value));
    out = value.get<bool>();
    return true;
}

bool ExpectArray(Reader& reader, const Json& value, const std::string& where)
{
    return value.is_array() || reader.Fail(where, "expected an array" + Found(value));
}

bool ExpectObject(Reader& reader, const Json& value, const std::string& where)
{
    return value.is_object() || reader.Fail(where, "expected an object" + Found(value));
}

// An array of exactly `count` floats: a position, a UV or the view matrix.
bool ReadFloats(Reader& reader, const Json& value, const std::string& where, std::size_t count,
                float* out)
{
    if (!value.is_array() || value.size() != count) {
        std::string found = value.is_array() ? ", found an array of " + std::to_string(value.size())
                                             : Found(value);
        return reader.Fail(where, "expected an array of " + std::to_string(count) + " numbers" +
                                      found);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!ReadFloat(reader, value[i], Join(where, "coordinate " + std::to_string(i)), out[i]))
            return false;
    }
    return true;
}

// --- The document ------------------------------------------------------------

bool ReadMaterial(Reader& reader, const Json& value, const std::string& where, host::Document& doc)
{
    if (value.is_null()) {
        host::AddEmptyMaterialSlot(doc);
        return true;
    }
    if (!ExpectObject(reader, value, where) ||
        !CheckKeys(reader, value, where, {"name", "texture", "alpha", "bump"}))
        return false;
    std::string name;
    if (value.contains("name") && !ReadString(reader, value["name"], Join(where, "name"), name))
        return false;
    host::Material& material = *host::GetMaterial(doc, host::AddMaterial(doc, name));
    const std::pair<const char*, std::string*> maps[] = {
        {"texture", &material.texture}, {"alpha", &material.alpha}, {"bump", &material.bump}};
    for (const auto& map : maps) {
        if (value.contains(map.first) &&
            !ReadString(reader, value[map.first], Join(where, map.first), *map.second))
            return false;
    }
    return true;
}

bool ReadFace(Reader& reader, const Json& value, const std::string& where, int materialCount,
              host::Object& obj)
{
    if (value.is_null()) {
        obj.faces.emplace_back();   // an empty slot, as a deleted face leaves
        return true;
    }
    if (!ExpectObject(reader, value, where) ||
        !CheckKeys(reader, value, where, {"points", "uv", "material", "selected", "selectedLines"}))
        return false;
    if (!value.contains("points"))
        return reader.Fail(where, "a face needs \"points\" (write null for an empty face slot)");
    const Json& pointsValue = value["points"];
    if (!ExpectArray(reader, pointsValue, Join(where, "points")))
        return false;
    if (pointsValue.empty())
        return reader.Fail(Join(where, "points"),
                           "a face needs at least one point (write null for an empty face slot)");
    const int vertexCount = static_cast<int>(obj.vertices.size());
    std::vector<int> points(pointsValue.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!ReadIndex(reader, pointsValue[i], Join(where, "point " + std::to_string(i)), 0,
                       vertexCount, "the object", "vertices", points[i]))
            return false;
    }
    int material = -1;
    if (value.contains("material") &&
        !ReadIndex(reader, value["material"], Join(where, "material"), -1, materialCount,
                   "the document", "materials", material))
        return false;

    std::vector<host::UV> uv(points.size(), host::UV{0.0f, 0.0f});
    if (value.contains("uv")) {
        const Json& uvValue = value["uv"];
        if (!ExpectArray(reader, uvValue, Join(where, "uv")))
            return false;
        if (uvValue.size() != points.size())
            return reader.Fail(Join(where, "uv"),
                               "expected one UV per point (" + std::to_string(points.size()) +
                                   "), found " + std::to_string(uvValue.size()));
        for (std::size_t i = 0; i < uv.size(); ++i) {
            float pair[2];
            if (!ReadFloats(reader, uvValue[i], Join(where, "uv " + std::to_string(i)), 2, pair))
                return false;
            uv[i] = host::UV{pair[0], pair[1]};
        }
    }
    bool selected = false;
    if (value.contains("selected") &&
        !ReadBool(reader, value["selected"], Join(where, "selected"), selected))
        return false;
    std::vector<int> lines;
    if (value.contains("selectedLines")) {
        const Json& linesValue = value["selectedLines"];
        if (!ExpectArray(reader, linesValue, Join(where, "selectedLines")))
            return false;
        lines.resize(linesValue.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!ReadIndex(reader, linesValue[i], Join(where, "selected line " + std::to_string(i)),
                           0, static_cast<int>(points.size()), "the face", "lines", lines[i]))
                return false;
        }
    }

    const int face = host::AddFace(obj, points, material);
    assert(face >= 0);   // every point was checked above
    obj.faces[static_cast<std::size_t>(face)].uv = uv;
    host::SelectFace(obj, face, selected);
    for (int line : lines)
        host::SelectLine(obj, face, line);
    return true;
}

bool ReadObject(Reader& reader, const Json& value, const std::string& where, int materialCount,
                host::Document& doc)
{
    if (value.is_null()) {
        host::AddEmptyObjectSlot(doc);
        return true;
    }
    if (!ExpectObject(reader, value, where) ||
        !CheckKeys(reader, value, where, {"name", "vertices", "faces", "selectedVertices"}))
        return false;
    std::string name;
    if (value.contains("name") && !ReadString(reader, value["name"], Join(where, "name"), name))
        return false;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, name));

    if (value.contains("vertices")) {
        const Json& vertices = value["vertices"];
        if (!ExpectArray(reader, vertices, Join(where, "vertices")))
            return false;
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            float xyz[3];
            if (!ReadFloats(reader, vertices[i], Join(where, "vertex " + std::to_string(i)), 3, xyz))
                return false;
            host::AddVertex(obj, host::Vec3{xyz[0], xyz[1], xyz[2]});
        }
    }
    if (value.contains("faces")) {
        const Json& faces = value["faces"];
        if (!ExpectArray(reader, faces, Join(where, "faces")))
            return false;
        for (std::size_t i = 0; i < faces.size(); ++i) {
            if (!ReadFace(reader, faces[i], Join(where, "face " + std::to_string(i)), materialCount,
                          obj))
                return false;
        }
    }
    if (value.contains("selectedVertices")) {
        const Json& selected = value["selectedVertices"];
        if (!ExpectArray(reader, selected, Join(where, "selectedVertices")))
            return false;
        for (std::size_t i = 0; i < selected.size(); ++i) {
            int vertex = 0;
            if (!ReadIndex(reader, selected[i],
                           Join(where, "selected vertex " + std::to_string(i)), 0,
                           static_cast<int>(obj.vertices.size()), "the object", "vertices",
                           vertex))
                return false;
            host::SelectVertex(obj, vertex);
        }
    }
    return true;
}

bool ReadDocument(Reader& reader, const Json& root, host::Document& doc, DocumentInfo& info)
{
    if (!root.is_object())
        return reader.Fail("", "a document is a JSON object" + Found(root));
    if (!CheckKeys(reader, root, "",
                   {"format", "version", "description", "currentObject", "view", "materials",
                    "objects"}))
        return false;
    if (root.contains("format")) {
        std::string format;
        if (!ReadString(reader, root["format"], "format", format))
            return false;
        if (format != kFormatName)
            return reader.Fail("format", "\"" + format + "\" is not \"" + kFormatName + "\"");
    }
    if (root.contains("version")) {
        int version = 0;
        if (!ReadInt(reader, root["version"], "version", version))
            return false;
        if (version != kFormatVersion)
            return reader.Fail("version", "version " + std::to_string(version) +
                                              " is not known; this program reads version " +
                                              std::to_string(kFormatVersion));
    }
    if (root.contains("description") &&
        !ReadString(reader, root["description"], "description", info.description))
        return false;
    // A document that names no view is seen from the host's front.
    host::FrontViewMatrix(doc.scene.view);
    if (root.contains("view") && !ReadFloats(reader, root["view"], "view", 16, doc.scene.view))
        return false;
    if (root.contains("materials")) {
        const Json& materials = root["materials"];
        if (!ExpectArray(reader, materials, "materials"))
            return false;
        for (std::size_t i = 0; i < materials.size(); ++i) {
            if (!ReadMaterial(reader, materials[i], "material " + std::to_string(i), doc))
                return false;
        }
    }
    if (!root.contains("objects"))
        return reader.Fail("", "a document needs \"objects\" (an array, may be empty)");
    const Json& objects = root["objects"];
    if (!ExpectArray(reader, objects, "objects"))
        return false;
    const int materialCount = static_cast<int>(doc.materials.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (!ReadObject(reader, objects[i], "object " + std::to_string(i), materialCount, doc))
            return false;
    }
    doc.currentObject = 0;
    if (root.contains("currentObject")) {
        const int count = static_cast<int>(doc.objects.size());
        // An empty document still has current object 0, as the host does.
        const Json& current = root["currentObject"];
        if (!(count == 0 && current.is_number_integer() && current.get<std::int64_t>() == 0) &&
            !ReadIndex(reader, current, "currentObject", 0, count, "the document", "objects",
                       doc.currentObject))
            return false;
    }
    return true;
}

// --- Writing -------------------------------------------------------------------

// Bytes that are not UTF-8 cannot be written into JSON: each becomes U+FFFD.
void AppendUtf8Escaped(std::string& out, const std::string& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        // Length and smallest code point of a well-formed sequence.
        std::size_t length = 0;
        std::uint32_t point = 0, lowest = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2; point = c & 0x1Fu; lowest = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3; point = c & 0x0Fu; lowest = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4; point = c & 0x07u; lowest = 0x10000;
        }
        bool valid = length > 0 && i + length <= size;
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (bytes[i + k] & 0xC0u) == 0x80u;
            point = (point << 6) | (bytes[i + k] & 0x3Fu);
        }
        valid = valid && point >= lowest && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
        if (valid) {
            out.append(text, i, length);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    AppendUtf8Escaped(out, text);
    out += '"';
    return out;
}

// JSON has no NaN or infinity, and reads "-0" as the integer 0: those are
// written so that they read back as the same float.
std::string JsonFloat(float value)
{
    if (std::isnan(value) || std::isinf(value))
        return "\"" + ShortestFloatText(value) + "\"";
    if (value == 0.0f && std::signbit(value))
        return "-0.0";
    return ShortestFloatText(value);
}

std::string FloatList(const float* values, std::size_t count)
{
    std::string out = "[";
    for (std::size_t i = 0; i < count; ++i)
        out += (i ? ", " : "") + JsonFloat(values[i]);
    return out + "]";
}

// A face's points or a plain list of ints.
template <typename Ints>
std::string IntList(const Ints& values)
{
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ", " : "") + std::to_string(values[i]);
    return out + "]";
}

std::string FaceText(const host::Face& face)
{
    if (face.points.empty())
        return "null";
    std::string out = "{\"points\": " + IntList(face.points);
    if (host::FaceHasUV(face)) {
        out += ", \"uv\": [";
        for (std::size_t i = 0; i < face.points.size(); ++i) {
            const host::UV uv = i < face.uv.size() ? face.uv[i] : host::UV{0.0f, 0.0f};
            const float pair[2] = {uv.u, uv.v};
            out += (i ? ", " : "") + FloatList(pair, 2);
        }
        out += "]";
    }
    if (face.material != -1)
        out += ", \"material\": " + std::to_string(face.material);
    if (face.selected)
        out += ", \"selected\": true";
    std::vector<int> lines;
    for (std::size_t k = 0; k < face.lineSelected.size() && k < face.points.size(); ++k) {
        if (face.lineSelected[k])
            lines.push_back(static_cast<int>(k));
    }
    if (!lines.empty())
        out += ", \"selectedLines\": " + IntList(lines);
    return out + "}";
}

std::string ObjectText(const host::Object& obj)
{
    std::string out = "    {\n      \"name\": " + Quoted(obj.name) + ",\n";
    out += "      \"vertices\": [";
    for (std::size_t i = 0; i < obj.vertices.size(); ++i) {
        const float xyz[3] = {obj.vertices[i].x, obj.vertices[i].y, obj.vertices[i].z};
        out += (i ? ",\n        " : "\n        ") + FloatList(xyz, 3);
    }
    out += obj.vertices.empty() ? "],\n" : "\n      ],\n";
    out += "      \"faces\": [";
    for (std::size_t i = 0; i < obj.faces.size(); ++i)
        out += (i ? ",\n        " : "\n        ") + FaceText(obj.faces[i]);
    out += obj.faces.empty() ? "]" : "\n      ]";
    std::vector<int> selected;
    for (std::size_t v = 0; v < obj.vertices.size() && v < obj.vertexSelected.size(); ++v) {
        if (obj.vertexSelected[v])
            selected.push_back(static_cast<int>(v));
    }
    if (!selected.empty())
        out += ",\n      \"selectedVertices\": " + IntList(selected);
    return out + "\n    }";
}

std::string MaterialText(const host::Material& material)
{
    std::string out = "{\"name\": " + Quoted(material.name);
    if (!material.texture.empty())
        out += ", \"texture\": " + Quoted(material.texture);
    if (!material.alpha.empty())
        out += ", \"alpha\": " + Quoted(material.alpha);
    if (!material.bump.empty())
        out += ", \"bump\": " + Quoted(material.bump);
    return out + "}";
}

}  // namespace

bool ParseDocumentText(const std::string& text, const std::string& fileName,
                       host::Document& doc, DocumentInfo& info, std::string& error)
{
    assert(doc.objects.empty() && doc.materials.empty());
    if (StartsWithWideByteOrderMark(text)) {
        error = fileName + ":1:1: " + kWideByteOrderMarkMessage;
        return false;
    }
    Json root;
    PositionedDomParser parser(root);
    if (!Json::sax_parse(text, &parser) || !parser.errorText.empty()) {
        int line = 0, column = 0;
        LineAndColumn(text, parser.errorPosition, line, column);
        error = fileName + ":" + std::to_string(line) + ":" + std::to_string(column) +
                ": malformed JSON: " + LibraryMessage(parser.errorText);
        return false;
    }
    Reader reader{fileName, error};
    return ReadDocument(reader, root, doc, info);
}

std::string FormatDocumentText(const host::Document& doc, const DocumentInfo& info)
{
    std::string out = "{\n";
    out += std::string("  \"format\": \"") + kFormatName + "\",\n";
    out += "  \"version\": " + std::to_string(kFormatVersion) + ",\n";
    if (!info.description.empty())
        out += "  \"description\": " + Quoted(info.description) + ",\n";
    out += "  \"currentObject\": " + std::to_string(doc.currentObject) + ",\n";
    out += "  \"view\": " + FloatList(doc.scene.view, 16) + ",\n";
    out += "  \"materials\": [";
    for (std::size_t i = 0; i < doc.materials.size(); ++i) {
        out += i ? ",\n    " : "\n    ";
        out += doc.materials[i] ? MaterialText(*doc.materials[i]) : "null";
    }
    out += doc.materials.empty() ? "],\n" : "\n  ],\n";
    out += "  \"objects\": [";
    for (std::size_t i = 0; i < doc.objects.size(); ++i) {
        out += i ? ",\n" : "\n";
        out += doc.objects[i] ? ObjectText(*doc.objects[i]) : "    null";
    }
    out += doc.objects.empty() ? "]\n" : "\n  ]\n";
    return out + "}\n";
}

static bool HasSuffix(const std::string& path, const char* suffix)
{
    const std::size_t length = std::strlen(suffix);
    if (path.size() <= length || path[path.size() - length - 1] == '/')
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(path[path.size() - length + i])) != suffix[i])
            return false;
    }
    return true;
}

bool IsObjFileName(const std::string& path) { return HasSuffix(path, ".obj"); }

bool IsDocumentFileName(const std::string& path)
{
    return HasSuffix(path, ".json") || HasSuffix(path, ".obj");
}

bool IsSvgFileName(const std::string& path) { return HasSuffix(path, ".svg"); }

bool CheckFileName(const std::string& path, bool picture, std::string& error)
{
    if (picture ? IsSvgFileName(path) : IsDocumentFileName(path))
        return true;
    error = path + (picture ? ": a picture's name ends in .svg" 
                            : ": a document's name ends in .json or .obj") +
            "; this program reads and writes no other format";
    return false;
}

bool LoadDocument(const std::string& path, host::Document& doc, DocumentInfo& info,
                  std::string& notes, std::string& error)
{
    if (!CheckFileName(path, false, error))
        return false;
    if (IsObjFileName(path))
        return ImportObj(path, doc, &info.objSource, notes, error, info.latin1);
    std::string text, why;
    if (!ReadWholeFile(path, text, why)) {
        error = path + ": cannot read: " + why;
        return false;
    }
    return ParseDocumentText(text, path, doc, info, error);
}

bool SaveDocument(const std::string& path, const host::Document& doc, const DocumentInfo& info,
                  std::string& notes, std::string& error)
{
    if (!CheckFileName(path, false, error))
        return false;
    if (IsObjFileName(path))
        return ExportObj(path, doc, info.objSource.get(), notes, error);
    std::string why;
    if (!WriteFileAtomically(path, FormatDocumentText(doc, info), why)) {
        error = path + ": cannot write: " + why;
        return false;
    }
    const std::string lost = info.objSource ? ObjContentsBeyondTheDocument(*info.objSource) : "";
    if (!lost.empty())
        notes += path + ": holds none of the " + lost + " of " + info.objSource->path + "\n";
    return true;
}

bool SaveDocument(const std::string& path, const host::Document& doc, const DocumentInfo& info,
                  std::string& error)
{
    std::string notes;
    return SaveDocument(path, doc, info, notes, error);
}

}  // namespace host
