// SPDX-License-Identifier: Apache-2.0
#pragma once
// The calling session's own connection, through the server's SPI, as the
// engine's session: the guides are read in the caller's transaction, with
// the caller's rights, under whatever search path is in force. The
// statements it is asked to run (reading the guide tables and the catalogue)
// are prepared once per server process and kept.
#include <string>

#include "connections/rdo.h"

namespace corvanty::postgres {

class SpiSession : public rdo::SqlSession {
 public:
  rdo::Dialect GetDialect() const override { return rdo::Dialect::PostgreSql; }
  const std::string& DbmsName() const override { return name_; }
  // Throws PostgresError with the server's error.
  rdo::rdoResultset OpenResultset(const std::string& sql) override;

 private:
  std::string name_ = "PostgreSQL";
};

}  // namespace corvanty::postgres
