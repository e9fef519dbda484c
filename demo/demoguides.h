#pragma once
// The sample guides the demo database comes with, so that a newcomer can
// test a guide at once and open it in the editors to see how it is made.
#include <string>
#include <vector>

namespace corvanty::demo {

// Defines the sample guides in the active connection's database, whose guide
// tables must exist, through the same operations the guide dialogs use.
// Returns their names. Throws rdo::DatabaseError.
std::vector<std::string> DefineSampleGuides();

}  // namespace corvanty::demo
