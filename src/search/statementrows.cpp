// SPDX-License-Identifier: Apache-2.0
#include "search/statementrows.h"

#include "connections/serverdialect.h"

namespace corvanty {
namespace {

// Rows fetched from the cursor at a time, as many as the driver's own
// cursor fetches.
constexpr int kBatch = 1000;

class DirectRows : public StatementRows {
 public:
  DirectRows(rdo::rdoConnection& connection, const std::string& sql)
      : reader_(connection.OpenForwardOnly(sql)) {}
  bool Fetch() override { return reader_.Fetch(); }
  std::optional<std::string> Value(int column) const override { return reader_.Value(column); }

 private:
  rdo::ForwardReader reader_;
};

std::string Hex(const std::string& text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(text.size() * 2);
  for (unsigned char c : text) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// The DO block that opens the cursor named `cursor` for the statement,
// which it carries hex-encoded.
std::string OpenCursorBlock(const std::string& cursor, const std::string& sql) {
  return "DO $corvanty$DECLARE found_rows pg_catalog.refcursor := '" + cursor +
         "'; BEGIN OPEN found_rows NO SCROLL FOR EXECUTE "
         "pg_catalog.convert_from(pg_catalog.decode('" +
         Hex(sql) + "', 'hex'), 'UTF8'); END$corvanty$";
}

class CursorRows : public StatementRows {
 public:
  CursorRows(rdo::rdoConnection& connection, const std::string& sql, size_t number)
      : connection_(connection), cursor_("corvanty_search_" + std::to_string(number)) {
    connection_.Execute(OpenCursorBlock(cursor_, sql));
  }

  bool Fetch() override {
    while (true) {
      if (!batch_) {
        if (ended_) return false;
        batch_.emplace(connection_.OpenForwardOnly("FETCH FORWARD " + std::to_string(kBatch) +
                                                   " FROM " + cursor_));
        in_batch_ = 0;
      }
      if (batch_->Fetch()) {
        ++in_batch_;
        return true;
      }
      // A short batch was the last one.
      ended_ = in_batch_ < kBatch;
      batch_.reset();
    }
  }
  std::optional<std::string> Value(int column) const override { return batch_->Value(column); }

 private:
  rdo::rdoConnection& connection_;
  const std::string cursor_;
  std::optional<rdo::ForwardReader> batch_;
  int in_batch_ = 0;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<StatementRows> OpenStatementRows(rdo::rdoConnection& connection,
                                                 const std::string& sql, size_t number) {
  if (ForDialect(connection.GetDialect()).SearchesThroughCursor())
    return std::make_unique<CursorRows>(connection, sql, number);
  return std::make_unique<DirectRows>(connection, sql);
}

}  // namespace corvanty
