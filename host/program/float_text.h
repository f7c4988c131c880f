// The shortest decimal text that reads back as exactly the same float, so
// that positions and UVs survive a save and a load bit for bit.
#pragma once

#include <string>

namespace host {

// "0.1", "1", "-0", "1e+10", "nan", "inf", "-inf".
std::string ShortestFloatText(float value);

}  // namespace host
