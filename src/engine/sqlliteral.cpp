#include "engine/sqlliteral.h"
namespace corvanty {
std::string QuoteApostrophes(std::string_view text) {
  std::string out;
  for (char c : text) { out += c; if (c == '\'') out += '\''; }
  return out;
}
}
