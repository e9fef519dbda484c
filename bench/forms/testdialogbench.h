// SPDX-License-Identifier: Apache-2.0
#pragma once
// The test dialog searching the demo at 1,000,000 order lines for criteria
// that find about 100,000 orders: how long until the box is filled, and the
// longest time the window's event loop went without a turn meanwhile (what
// a user would see as a frozen window).
#include "bench/benchodbc.h"

namespace corvanty::bench {

void ReportTestDialogSearch(const BenchFolder& folder, int runs);

}  // namespace corvanty::bench
