// SPDX-License-Identifier: Apache-2.0
#include "index/searchindexdrop.h"

#include "connections/serverdialect.h"
#include "index/searchindexbuild.h"
#include "index/trigramindex.h"

namespace corvanty {

bool DropGuideSearchIndexWithin(rdo::rdoConnection& connection, int32_t guide) {
  switch (SearchIndexesOf(connection)) {
    case SearchIndexKind::Fts5Trigram:
      return DropSearchIndexWithin(connection, guide);
    case SearchIndexKind::PgTrigram:
      return DropTrigramIndexWithin(connection, guide);
    case SearchIndexKind::None:
      break;
  }
  return false;
}

}  // namespace corvanty
