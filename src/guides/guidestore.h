// SPDX-License-Identifier: Apache-2.0
#pragma once
// The guide rows the creation, selection and deletion dialogs read and
// write, each operation on the connection it is given. Database failures
// come out as rdo::DatabaseError.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

struct GuideEntry {
  std::string name;
  int32_t id = 0;
};

constexpr size_t kMaxGuideNameLength = 50;
constexpr size_t kMaxGuideDescriptionLength = 255;

// The message refusing a name or description too long for its column, or
// nullopt when both fit. Lengths are counted in characters.
std::optional<std::string> GuideTextTooLong(const std::string& name,
                                            const std::string& description);

// The guides in the order the server returns them.
std::vector<GuideEntry> ListGuides(rdo::rdoConnection& connection);

bool GuideNameExists(rdo::rdoConnection& connection, const std::string& name);

// Inserts the guide and returns its new DSG_ID, read in the insert's
// transaction so that no other writer's guide can come between.
int32_t InsertGuide(rdo::rdoConnection& connection, const std::string& name,
                    const std::string& description);

// Removes the guide's rows from the guide, tables and columns tables, and
// its search index, in one transaction: on any error nothing is deleted.
// True when it had a search index.
bool DeleteGuide(rdo::rdoConnection& connection, int32_t id);

}  // namespace corvanty
