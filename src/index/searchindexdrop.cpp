// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexdrop.h"

#include "index/searchindexbuild.h"
#include "index/trigramindex.h"

namespace corvanty {

bool DropGuideSearchIndexWithin(rdo::rdoConnection& connection, int32_t guide) {
  switch (connection.GetDialect()) {
    case rdo::Dialect::Sqlite:
      return DropSearchIndexWithin(connection, guide);
    case rdo::Dialect::PostgreSql:
      return DropTrigramIndexWithin(connection, guide);
    default:
      return false;
  }
}

}  // namespace corvanty
