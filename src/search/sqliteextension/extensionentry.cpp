// SPDX-License-Identifier: Apache-2.0
// The entry point SQLite calls when the library is loaded: its name follows
// the file's (corvanty_search), so ".load corvanty_search" finds it.
#include "search/sqliteextension/searchtables.h"

SQLITE_EXTENSION_INIT1

extern "C" __attribute__((visibility("default"))) int sqlite3_corvantysearch_init(
    sqlite3* db, char**, const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  return corvanty::RegisterSearchTables(db);
}
