// Random documents for the differential tests, copies of them, and a
// comparison that names the first difference it finds.
#pragma once

#include <random>
#include <string>

#include "host/library/document.h"

namespace kivera_test {


// The dice of one document. Every draw goes through here, so one seed gives
// one document on every platform (no distribution whose output the standard
// leaves to the library).
class Dice {
public:
    explicit Dice(unsigned int seed) : engine_(seed) {}
    // An int from lo to hi, both included.
    int Int(int lo, int hi)
    {
        return lo + static_cast<int>(engine_() % static_cast<unsigned int>(hi - lo + 1));
    }
    // True with a chance of `percent` in 100.
    bool Percent(int percent) { return Int(0, 99) < percent; }

private:
    std::mt19937 engine_;
};

// A document of one to four object slots (some empty): grid patches of
// quads and triangles, lines, single points, faces of five or six points,
// faces that repeat a vertex, deleted faces, faces naming vertices the
// object lacks, unused vertices, NaN coordinates now and then, copies of
// the first object for the UV copy, materials with map names, and
// selections of vertices, lines and faces at a density drawn per document.
host::Document RandomDocument(Dice& dice);

// Empty when the two documents are identical (positions and coordinates bit
// for bit, faces, selections, materials and their load counts, current
// indices, the scene); else where they first differ.
std::string FirstDifference(const host::Document& a, const host::Document& b);

// Text of a saved-points file naming objects and vertices of `doc`, some of
// them out of range, with a damaged line now and then.
std::string RandomSavedPoints(Dice& dice, const host::Document& doc);

}  // namespace kivera_test
