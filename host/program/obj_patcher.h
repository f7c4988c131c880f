// Writing a document back as a patch of the OBJ file it was read from: every
// statement the commands did not touch stays as it was.
#pragma once

#include <string>

#include "host/library/document.h"
#include "host/program/obj_file.h"

namespace host::obj {

// Why `doc` cannot be written as a patch of `source`; empty when it can.
std::string PatchProblem(const host::Document& doc, const ObjSource& source);

// Writes `doc` to `path` as a patch of `source` (PatchProblem empty): over
// the source itself (its MTL files patched in place, the file left alone
// when its text comes out the same), or to another file with an MTL file of
// its own. `notes` receives what the written file lacks.
bool WritePatched(const std::string& path, const host::Document& doc, const ObjSource& source,
                  std::string& notes, std::string& error);

}  // namespace host::obj
