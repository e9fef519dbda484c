// SPDX-License-Identifier: Apache-2.0
#pragma once
// The column index the columns editor accepts: the column's sequence number
// in the guide, a whole number held in 32 bits.
#include <cstdint>
#include <string>

namespace corvanty {

struct ColumnIndexInput {
  int32_t value = 0;
  const char* refusal = nullptr;  // the message refusing the text; null when accepted
};

// Reads the text typed as an index. Blanks around the number are allowed.
// Refused: an empty text, a text that is no decimal number, and a number
// that is not whole or does not fit in 32 bits.
ColumnIndexInput ReadColumnIndex(const std::string& text);

}  // namespace corvanty
