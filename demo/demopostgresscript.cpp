// SPDX-License-Identifier: Apache-2.0
#include "demo/demopostgresscript.h"

#include <cstdio>

#include "demo/demorows.h"

namespace corvanty::demo {

namespace {

// A value in COPY's text format: \N for NULL; a backslash, tab, line feed or
// carriage return in text written as its escape.
void WriteCopyValue(std::ostream& out, const DemoValue& value) {
  if (auto number = std::get_if<long>(&value)) {
    out << *number;
  } else if (auto price = std::get_if<double>(&value)) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *price);
    out << text;
  } else if (auto text = std::get_if<std::string>(&value)) {
    for (char c : *text) {
      switch (c) {
        case '\\':
          out << "\\\\";
          break;
        case '\t':
          out << "\\t";
          break;
        case '\n':
          out << "\\n";
          break;
        case '\r':
          out << "\\r";
          break;
        default:
          out << c;
      }
    }
  } else {
    out << "\\N";
  }
}

class CopyRowSink : public DemoRowSink {
 public:
  explicit CopyRowSink(std::ostream& out) : out_(out) {}
  void BeginTable(const char* table, size_t) override {
    out_ << "COPY " << table << " FROM stdin;\n";
  }
  void Row(const std::vector<DemoValue>& values) override {
    for (size_t i = 0; i < values.size(); ++i) {
      if (i > 0) out_ << '\t';
      WriteCopyValue(out_, values[i]);
    }
    out_ << '\n';
  }
  void EndTable() override { out_ << "\\.\n"; }

 private:
  std::ostream& out_;
};

}  // namespace

void WritePostgresDemoScript(std::ostream& out, long rows) {
  out << "BEGIN;\n" << kDemoSchema;
  CopyRowSink sink(out);
  MakeDemoRows(rows, sink);
  out << "COMMIT;\nANALYZE;\n";
}

}  // namespace corvanty::demo
