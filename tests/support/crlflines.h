#pragma once
// Reading back statement texts whose lines all end with CR LF.
#include <string>
#include <vector>

namespace corvanty::testing {

// The lines of a CR LF text. Adds a test failure when a line holds a stray
// CR or LF or when the text does not end with CR LF.
std::vector<std::string> SplitCrLfLines(const std::string& text);

}  // namespace corvanty::testing
