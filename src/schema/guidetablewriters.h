// SPDX-License-Identifier: Apache-2.0
#pragma once
// Who besides their owner may write the guide tables of a PostgreSQL
// database. The SQL they hold runs with the rights of every caller of the
// search service, so whoever may write them must be trusted by all callers.
#include <string>
#include <vector>

#include "connections/rdo.h"

namespace corvanty {

// One warning per guide table of the connection's current schema and role
// (PUBLIC included) that was granted a right to write it, in table and role
// order; none elsewhere than on PostgreSQL.
std::vector<std::string> GuideTableWriterWarnings(rdo::rdoConnection& connection);

}  // namespace corvanty
