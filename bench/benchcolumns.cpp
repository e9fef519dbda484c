// SPDX-License-Identifier: Apache-2.0
#include "bench/benchcolumns.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/benchcatalogue.h"
#include "bench/benchsearch.h"
#include "guides/columnloader.h"

namespace corvanty::bench {

void ReportColumnEditorLoad(const BenchFolder& folder, int runs) {
  const std::string file = folder.File("catalogue.db");
  CreateCatalogueDatabase(file);
  const std::string connect = AddStreamingDataSource(folder, "CorvantyCatalogue", file);
  std::vector<std::string> handed_over(1);
  for (const std::string& table : CatalogueTables()) handed_over.push_back(table);

  std::printf("\nColumns editor load, %d tables of %d columns, median of %d (target < 200 ms)\n",
              kCatalogueTables, kCatalogueColumnsPerTable, runs);
  for (bool edit : {false, true}) {
    size_t entries = 0, checked = 0;
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run)
      samples.push_back(Microseconds([&] {
        // The editor opens its connection as it loads: timed with the load.
        rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
        ColumnEditorContents contents = LoadColumnEditor(connection, 1, edit, handed_over);
        entries = contents.Entries.size();
        checked = contents.Slots.size() - 1;
      }));
    std::printf("  %-14s %8.1f ms  (%zu entries, %zu with settings)\n",
                edit ? "existing guide" : "new guide", Median(samples) / 1000, entries,
                edit ? checked : 0);
  }
}

}  // namespace corvanty::bench
