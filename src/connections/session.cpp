// SPDX-License-Identifier: Apache-2.0
#include "connections/session.h"

namespace corvanty {

rdo::rdoConnection& Session::Connection() {
  if (!connection_) connection_.emplace(rdo::rdoConnection::Open(connect_));
  return *connection_;
}

rdo::rdoConnection Session::Take() {
  rdo::rdoConnection connection = std::move(Connection());
  connection_.reset();
  return connection;
}

}  // namespace corvanty
