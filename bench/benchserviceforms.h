// SPDX-License-Identifier: Apache-2.0
#pragma once
// The two forms of PostgreSQL's search service, the PL/pgSQL functions and
// the search extension, each against the same generated statement sent by
// the client, side by side in one run over one connection: a selective
// indexed search (unprepared, and repeated as prepared statements), a wide
// search's first 20 rows (and whether a temporary file was written), the
// wide search's every row, and eight clients calling the selective search.
#include <cstdint>
#include <string>

namespace corvanty::bench {

struct ServiceFormsCase {
  int32_t guide;           // the selective search's guide
  std::string selective;   // its criteria
  int32_t wide_guide;      // the wide search's guide
  std::string wide;        // its criteria
  int runs;                // timed runs of each case, alternating
  double clients_seconds;  // how long the eight clients call
};

// Installs each form in turn in the connection's schema (the extension only
// when the server offers it), builds both guides' trigram indexes where
// missing, and leaves the PL/pgSQL service installed at the end unless the
// extension was there before.
void ReportServiceForms(const std::string& connect, const ServiceFormsCase& c);

}  // namespace corvanty::bench
