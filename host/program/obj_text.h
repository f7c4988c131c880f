// What the OBJ reader, patcher and writer share: a text's lines and words,
// places for messages, the corner order of a polygon, and small helpers for
// names and writes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/library/document.h"
#include "host/program/obj_file.h"

namespace host::obj {

struct Token {
    std::size_t start, end;   // offsets into the text
};

// "FILE:LINE:COLUMN: " for a 0-based line and column.
std::string Place(const std::string& path, int line, std::size_t column);

// The file corner of a face's point `k`: OBJ polygons run counter-clockwise
// seen from their front, the host's clockwise, so a polygon's points are
// reversed on the way in and out (lines and points have no front).
std::size_t FileCorner(std::size_t k, std::size_t count);

// Splits `bytes` into lines, refusing what is not text: a UTF-16 or UTF-32
// byte order mark, a NUL byte and, unless `latin1`, a byte that is not UTF-8.
bool SplitTextLines(const std::string& path, const std::string& bytes,
                    std::vector<TextLine>& lines, std::string& error, bool latin1);

// Blank-separated words of a line; a word starting with '#' ends it.
void SplitWords(const std::string& text, const TextLine& line, std::vector<Token>& words);
// The text between `start` and `end` without blanks at either end.
std::string Trimmed(const std::string& text, std::size_t start, std::size_t end);
// The text with its line ends made blanks: one statement's worth.
std::string OneLine(const std::string& text);

// The MTL file written beside an OBJ file: same name, ".mtl".
std::string MtlFileNameFor(const std::string& objPath);
bool HasMaterials(const host::Document& doc);
// A material's texture (0), alpha (1) or bump (2) map name.
const std::string& MapName(const host::Material& material, int kind);
std::string PositionText(const host::Vec3& p);
// WriteFileAtomically with the error "PATH: cannot write: why".
bool WriteText(const std::string& path, const std::string& text, std::string& error);

}  // namespace host::obj
