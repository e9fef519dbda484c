// SPDX-License-Identifier: Apache-2.0
#pragma once
// After an editor has written a guide's rows: when that left the guide's
// search index stale, says so and offers to build it again.
#include <cstdint>

namespace corvanty {

// Yes builds the index again in the search index dialog, in the background.
// Says nothing when the index is absent or fresh, or its state cannot be
// read (the guide is saved either way).
void OfferSearchIndexRebuild(int32_t guide);

}  // namespace corvanty
