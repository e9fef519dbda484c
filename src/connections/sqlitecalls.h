// SPDX-License-Identifier: Apache-2.0
#pragma once
// SQLite's C API for the owner of SQLite handles: the linked library in the
// programs and tests; compiled into the loadable search extension
// (CORVANTY_SQLITE_LOADABLE), the SQLite of the program that loaded it,
// reached through the table of functions it hands over at load time.
#ifdef CORVANTY_SQLITE_LOADABLE
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif
