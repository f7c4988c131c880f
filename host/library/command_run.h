// One way to run a command, for every front end (kivera-host, the C
// interface the Blender add-on calls): the document scaled by 2^K around the
// plug-in's call and back, the menu entry run with its dialog answered, and a
// note when a fixed size of the command is out of proportion to the mesh.
#pragma once

#include <cstdint>
#include <string>

#include "host/library/document.h"
#include "host/library/plugin_host.h"

namespace host {

// Powers of two only: multiplying by 2^K and dividing again gives every
// untouched coordinate back bit for bit, as long as none leaves the float
// range on the way. Larger exponents cannot help any float mesh.
constexpr int kScaleExponentLimit = 126;

// The fixed size of groove width and depth and of the bevel, in the units
// the plug-in sees.
constexpr float kCommandFixedSize = 2.0f;

// Reads "2^K" (K a whole number, negative allowed, within the limit) into
// `exponent`. False with `error` for anything else.
bool ParseScaleExponent(const std::string& text, int& exponent, std::string& error);

// Whether every coordinate of `doc` comes back bit for bit from scaling by
// 2^exponent (no overflow to infinity, no loss in the subnormal range).
// False with `error` naming the first one that would not.
bool CheckScaleExponent(const host::Document& doc, int exponent, std::string& error);

// Multiplies every position by 2^exponent (exact for the positions that
// CheckScaleExponent accepts, and for NaN and infinities).
void ScaleDocument(host::Document& doc, int exponent);

// For groove and bevel: when the fixed size 2.0 is wider
// than the median length of the selected lines' cross edges in `doc` (as the
// plug-in will see it, scaled by 2^exponent), one line saying so and naming
// the smallest --scale at which it no longer is; "" otherwise.
// `fitting`, when not null, receives that exponent (left alone without one).
std::string FixedSizeNote(const host::Document& scaledDoc, int row, int exponent, int* fitting);

struct ScaledRun {
    int result = 0;          // what MQModifySelect returned
    std::string messages;    // what the plug-in wrote to standard error
    std::string scaleNote;   // FixedSizeNote's line, or ""
    int fittingExponent = 0; // the exponent the note names
};

// Runs menu entry `index` on `doc` as RunMenuCommand does, with the
// document scaled by 2^scaleExponent for the call (save-points and
// restore-points excepted: kivera.idx holds model units). False with `error`, and
// `doc` untouched, when the scale cannot be undone exactly.
bool RunCommandScaled(const PluginModule& module, int index, host::Document& doc,
                      const char* dialog, int scaleExponent, bool echo, ScaledRun& run,
                      std::string& error);

}  // namespace host
