// SPDX-License-Identifier: Apache-2.0
#pragma once
// The database one piece of work runs on: the connect string it was given
// and the connection opened from it when the work first needs it (which
// knows its server's dialect). Every operation of the work shares that one
// connection, so operations that belong together can share a transaction.
// A work that stops before it needs the database (a question answered No)
// opens nothing, and a connection that cannot be opened is reported where
// the work reports its other failures.
#include <optional>
#include <string>

#include "connections/rdo.h"

namespace corvanty {

class Session {
 public:
  explicit Session(std::string connect) : connect_(std::move(connect)) {}

  // False for an empty connect string: no connection has been chosen.
  bool HasConnectString() const { return !connect_.empty(); }

  // The open connection, opened on first use. Throws rdo::DatabaseError when
  // it cannot be opened; the next call tries again.
  rdo::rdoConnection& Connection();

  // Hands the connection over (opened first if need be) to work that keeps
  // it, such as a search streaming its rows; asked again, the session opens
  // a new one.
  rdo::rdoConnection Take();

 private:
  std::string connect_;  // holds the password: never shown
  std::optional<rdo::rdoConnection> connection_;
};

}  // namespace corvanty
