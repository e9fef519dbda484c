// SPDX-License-Identifier: Apache-2.0
#pragma once
// Saved connections and the active connection. The active connection is a
// set of strings, not an open connection: it is the forms' view of which
// database they work on, and a form opens from gstrConnect the connection
// (or Session, see session.h) its work runs on and passes it down. Nothing
// but the forms and the code here reads these globals.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvanty::basCorvantyAdmin {

extern std::string gstrDSN;
extern std::string gstrUID;
extern std::string gstrPWD;
extern std::string gstrConnect;  // empty until a connection has been chosen
extern int16_t gintActiveConnection;

// What a command that works on the database says while gstrConnect is empty.
inline constexpr char kNoActiveConnectionMessage[] = "No connection is active.";

extern const char* const kConnectionBaseKey;  // "SOFTWARE\Velmorastine\Corvanty\Database"

// "DSN=…;UID=…;PWD=…;". A value holding ';', '{', '}' or leading/trailing
// blanks is wrapped in braces with '}' doubled, so it cannot split the
// string; plain values are joined exactly as given.
std::string BuildConnectString(const std::string& dsn, const std::string& uid,
                               const std::string& pwd);

// Every reader below sees whole entries from one state of the store and
// throws RegistryError (naming the file and the cause) when the registry
// cannot be read: an unreadable store is never taken for an empty one.

// A saved connection's values; nullopt when no data source name is stored
// for number. Touches none of the globals above.
struct SavedConnection {
  std::string dsn;
  std::string uid;
  std::string pwd;
  std::string Connect() const { return BuildConnectString(dsn, uid, pwd); }
};
std::optional<SavedConnection> ReadConnection(int16_t number);

// Loads saved connection number into the parameters. False (and only
// gstrDSN changed, to "") when no data source name is stored for it.
bool LoadConnection(int16_t number);

// Element 0 empty, then the data source names of connections 1..n: the run
// of numbers up to the first one without a data source name.
void ListConnections(std::vector<std::string>& list);

// A saved connection as listed: never its password.
struct ListedConnection {
  int16_t number;
  std::string dsn;
  std::string uid;
};
std::vector<ListedConnection> ListConnectionsWithLogins();

// Chooses the next number and writes the entry under it in one transaction
// of the store, so two savers at the same moment never share a number nor
// mix their values. Returns the number; throws RegistryError when the
// registry cannot be written (also when it stays locked or is full).
int16_t SaveNewConnection(const std::string& dsn, const std::string& uid, const std::string& pwd);

// Removes saved connection number with all its values, and moves each
// later one down one number in the same transaction, so the list stays one
// unbroken run; the active connection number follows its entry (0 when it
// was the one removed). Returns the number the last connection had before
// (number itself when none moved), nullopt when there is no such
// connection. Throws RegistryError when the registry cannot be written.
std::optional<int16_t> RemoveConnection(int16_t number);

}  // namespace corvanty::basCorvantyAdmin
