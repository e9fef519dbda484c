// SPDX-License-Identifier: Apache-2.0
// Which form of the PostgreSQL search service the tool wants in a schema,
// whether it leaves what is there, and what it says why the extension the
// server offers is not used: the server's answers (what it offers, what the
// catalogue holds, this login's rights) given by hand.
#include "schema/searchservicestate.h"

#include <gtest/gtest.h>

#include "schema/postgressearchservice.h"

namespace corvanty {
namespace {

// The schema shop, searched alone, on a server that offers version 1.0 to
// a login that may create it; nothing installed.
SearchServiceState Offered() {
  SearchServiceState state;
  state.schema = "shop";
  state.offered_version = "1.0";
  state.extension_creatable = true;
  state.searched_alone = true;
  return state;
}

SearchServiceState WithPlPgsql(SearchServiceState state, int version, bool replaceable) {
  state.installed = true;
  state.version = version;
  state.owner = "alice";
  state.replaceable = replaceable;
  return state;
}

SearchServiceState WithExtension(SearchServiceState state, const std::string& schema,
                                 const std::string& version, bool owned) {
  state.extension_schema = schema;
  state.extension_version = version;
  state.extension_owner = "bob";
  state.extension_owned = owned;
  if (schema == state.schema) {  // its velmorastine_search, with no version mark
    state.installed = true;
    state.owner = "corvanty";
  }
  return state;
}

// "form, left or installed: why the offered extension is not used".
std::string Verdict(const SearchServiceState& state) {
  return std::string(state.Wanted() == PostgresServiceForm::Extension ? "extension" : "PL/pgSQL") +
         (state.LeftAsItIs() ? ", left: " : ", installed: ") + ExtensionNotUsedReason(state);
}

TEST(SearchServiceState, TheExtensionIsWantedWhereTheServerOffersItAndItCanSearchAsTheToolDoes) {
  SearchServiceState not_offered = Offered(), elsewhere = Offered(), searches_more = Offered(),
                     not_creatable = Offered();
  not_offered.offered_version = "";
  elsewhere = WithExtension(elsewhere, "sales", "1.0", true);
  searches_more.searched_alone = false;
  not_creatable.extension_creatable = false;
  const std::string kSearchesMore =
      "it runs the guides' statements under its own schema alone, and this connection searches "
      "other schemas too";
  const std::pair<SearchServiceState, std::string> cases[] = {
      {Offered(), "extension, installed: "},
      {not_offered, "PL/pgSQL, installed: "},
      {WithPlPgsql(not_offered, kPostgresSearchServiceVersion, true), "PL/pgSQL, left: "},
      {WithPlPgsql(not_offered, kPostgresSearchServiceVersion - 1, true), "PL/pgSQL, installed: "},
      {elsewhere,
       "PL/pgSQL, installed: a database holds it once, and here the schema sales "
       "holds it"},
      {searches_more, "PL/pgSQL, installed: " + kSearchesMore},
      {not_creatable,
       "PL/pgSQL, installed: this login may not create it: that needs the right to create in the "
       "database (GRANT CREATE ON DATABASE)"},
      // The PL/pgSQL service it would replace: replaced when this login may.
      {WithPlPgsql(Offered(), kPostgresSearchServiceVersion, true), "extension, installed: "},
      {WithPlPgsql(Offered(), kPostgresSearchServiceVersion, false),
       "PL/pgSQL, left: the PL/pgSQL service here is owned by alice, and this login does not "
       "have its owner's rights to drop it"},
      // The extension here: kept at the offered version, updated from another.
      {WithExtension(Offered(), "shop", "1.0", true), "extension, left: "},
      {WithExtension(Offered(), "shop", "0.9", true), "extension, installed: "},
      {WithExtension(Offered(), "shop", "0.9", false), "extension, left: "},
      // No longer wanted: dropped, unless this login may not.
      {WithExtension(not_offered, "shop", "1.0", true), "PL/pgSQL, installed: "},
      {WithExtension(searches_more, "shop", "1.0", true), "PL/pgSQL, installed: " + kSearchesMore},
      {WithExtension(searches_more, "shop", "1.0", false), "extension, left: "},
  };
  int n = 0;
  for (const auto& [state, expected] : cases) EXPECT_EQ(Verdict(state), expected) << ++n;
}

TEST(SearchServiceState, CheckNamesTheFormInPlaceItsVersionAndOwner) {
  const std::pair<SearchServiceState, std::string> cases[] = {
      {WithExtension(Offered(), "shop", "1.0", true),
       "Search service: the extension corvanty_search, version 1.0, in the schema shop, owned by "
       "bob."},
      {WithExtension(Offered(), "shop", "0.9", false),
       "Warning: the search service, the extension corvanty_search, version 0.9, in the schema "
       "shop, owned by bob, is not the version the server offers (1.0), and this login does not "
       "have its owner's rights to update it: only bob can (Tools > Rebuild Search Engine, or "
       "corvanty check)."},
      {WithPlPgsql(Offered(), kPostgresSearchServiceVersion, true),
       "Search service: velmorastine_search (PL/pgSQL) in the schema shop, version 3, owned by "
       "alice."},
      {Offered(), "Warning: there is no search service in the schema shop."},
  };
  for (const auto& [state, expected] : cases) EXPECT_EQ(SearchServiceReport(state), expected);
  EXPECT_EQ(ExtensionNotUsedNote(Offered(), "why"),
            "The server offers the extension corvanty_search 1.0, not used here: why.");
}

}  // namespace
}  // namespace corvanty
