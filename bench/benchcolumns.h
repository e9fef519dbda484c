// SPDX-License-Identifier: Apache-2.0
#pragma once
// The columns editor's load (catalogue query and list entries, the part the
// core does) on the large catalogue of benchcatalogue.h.
#include "bench/benchodbc.h"

namespace corvanty::bench {

// Builds the catalogue database in folder and prints the median load time
// for a new guide handed all the tables and for an existing guide whose
// FROM clause names them all and that has a setting on every tenth column.
void ReportColumnEditorLoad(const BenchFolder& folder, int runs);

}  // namespace corvanty::bench
