// SPDX-License-Identifier: Apache-2.0
#include "ui/utf8text.h"

#include <cstdio>

namespace corvanty {

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  // The range the second byte must fall in narrows for some leads: that
  // rules out overlong forms, surrogates and code points past U+10FFFF.
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return length;
}

std::string ShownText(std::string_view text, bool keep_line_breaks) {
  std::string shown;
  shown.reserve(text.size());
  const auto escape = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(text[i]));
      shown += code;
    }
  };
  for (size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = Utf8SequenceLength(text, at);
    const bool c1 = length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if (length == 0) {
      escape(at, 1);
      ++at;
    } else if (c1 || lead == 0x7F || (lead < 0x20 && !(keep_line_breaks && lead == '\n'))) {
      escape(at, length);
      at += length;
    } else {
      shown.append(text, at, length);
      at += length;
    }
  }
  return shown;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
      ++at;
      continue;
    }
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out.append(text, at, length);
    }
    at += length;
  }
  return out + "\"";
}

}  // namespace corvanty
