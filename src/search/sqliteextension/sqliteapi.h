// SPDX-License-Identifier: Apache-2.0
#pragma once
// The SQLite of the program that loaded the extension, reached through the
// table of functions it hands over at load time: the extension links no
// SQLite of its own, so it works on the caller's connections and files.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
