// SPDX-License-Identifier: Apache-2.0
#include "index/forms/searchindexoffer.h"

#include "connections/connectionstore.h"
#include "index/forms/frmcorvantysearchindexes.h"
#include "index/searchindexstate.h"
#include "ui/msgbox.h"

namespace corvanty {

void OfferSearchIndexRebuild(int32_t guide) {
  SearchIndexState index;
  try {
    rdo::rdoConnection connection = rdo::rdoConnection::Open(basCorvantyAdmin::gstrConnect);
    index = ReadSearchIndexState(connection, guide);
  } catch (const rdo::DatabaseError&) {
    return;
  }
  if (index.state != IndexState::Stale) return;
  const std::string question = "The search index of Database Search Guide " +
                               std::to_string(guide) + " is stale now: " + index.why_stale +
                               ". Searches of the guide scan its tables until the index is built "
                               "again. Build it again now?";
  if (MsgBox(question, vbYesNo) == vbYes) frmCorvantySearchIndexes::Instance().ShowBuilding(guide);
}

}  // namespace corvanty
