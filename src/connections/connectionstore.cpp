// SPDX-License-Identifier: Apache-2.0
#include "connections/connectionstore.h"

#include <limits>
#include <map>

#include "connections/registrytransaction.h"
#include "connections/velmorastineapi.h"

namespace corvanty::basCorvantyAdmin {

std::string gstrDSN;
std::string gstrUID;
std::string gstrPWD;
std::string gstrConnect;
int16_t gintActiveConnection = 0;

const char* const kConnectionBaseKey = "SOFTWARE\\Velmorastine\\Corvanty\\Database";

namespace {

std::string EntryKey(int16_t number) {
  return std::string(kConnectionBaseKey) + "\\" + std::to_string(number);
}

using Mode = RegistryTransaction::Mode;

std::string ReadString(const RegistryTransaction& store, const std::string& key, const char* name) {
  std::optional<StoredValue> stored = store.Query(HKEY_LOCAL_MACHINE, key, name);
  return stored ? RegValueToString(DecodeRegValue(*stored)) : "";
}

// Connections 1..n: the run of numbers up to the first one without a data
// source name, which is where a new connection goes.
std::vector<ListedConnection> Listed(const RegistryTransaction& store) {
  const auto read = [&](const char* name) {
    std::map<std::string, std::string> texts;
    for (const auto& [subkey, stored] :
         store.QuerySubkeys(HKEY_LOCAL_MACHINE, kConnectionBaseKey, name))
      texts[subkey] = RegValueToString(DecodeRegValue(stored));
    return texts;
  };
  std::map<std::string, std::string> dsns = read("DSN"), uids = read("UID");
  std::vector<ListedConnection> list;
  for (int number = 1; number <= std::numeric_limits<int16_t>::max(); ++number) {
    const std::string dsn = dsns[std::to_string(number)];
    if (dsn.empty()) break;
    list.push_back({static_cast<int16_t>(number), dsn, uids[std::to_string(number)]});
  }
  return list;
}

// 0 when every number is taken.
int16_t FirstFreeNumber(const RegistryTransaction& store) {
  size_t listed = Listed(store).size();
  return listed < static_cast<size_t>(std::numeric_limits<int16_t>::max())
             ? static_cast<int16_t>(listed + 1)
             : 0;
}

void WriteEntry(RegistryTransaction& store, int16_t number, const std::string& dsn,
                const std::string& uid, const std::string& pwd) {
  const std::string key = EntryKey(number);
  store.CreateKey(HKEY_LOCAL_MACHINE, key);
  for (const auto& [name, text] : {std::pair{"DSN", &dsn}, {"UID", &uid}, {"PWD", &pwd}})
    store.Set(HKEY_LOCAL_MACHINE, key, name, EncodeRegValue(REG_SZ, *text));
}

bool NeedsBraces(const std::string& value) {
  if (value.empty()) return false;
  if (value.front() == ' ' || value.back() == ' ') return true;
  return value.find_first_of(";{}") != std::string::npos;
}

std::string ConnectValue(const std::string& value) {
  if (!NeedsBraces(value)) return value;
  std::string quoted = "{";
  for (char c : value) {
    quoted += c;
    if (c == '}') quoted += '}';
  }
  return quoted + "}";
}

}  // namespace

std::string BuildConnectString(const std::string& dsn, const std::string& uid,
                               const std::string& pwd) {
  return "DSN=" + ConnectValue(dsn) + ";UID=" + ConnectValue(uid) + ";PWD=" + ConnectValue(pwd) +
         ";";
}

std::optional<SavedConnection> ReadConnection(int16_t number) {
  RegistryTransaction store(Mode::Read);
  std::string key = EntryKey(number);
  SavedConnection saved{ReadString(store, key, "DSN"), ReadString(store, key, "UID"),
                        ReadString(store, key, "PWD")};
  if (saved.dsn.empty()) return std::nullopt;
  return saved;
}

bool LoadConnection(int16_t number) {
  std::optional<SavedConnection> saved = ReadConnection(number);
  if (!saved) {
    gstrDSN.clear();
    return false;
  }
  gstrDSN = saved->dsn;
  gstrUID = saved->uid;
  gstrPWD = saved->pwd;
  gstrConnect = saved->Connect();
  return true;
}

void ListConnections(std::vector<std::string>& list) {
  std::vector<ListedConnection> connections = ListConnectionsWithLogins();
  list.assign(1, std::string());
  for (ListedConnection& connection : connections) list.push_back(std::move(connection.dsn));
}

std::vector<ListedConnection> ListConnectionsWithLogins() {
  return Listed(RegistryTransaction(Mode::Read));
}

int16_t SaveNewConnection(const std::string& dsn, const std::string& uid, const std::string& pwd) {
  RegistryTransaction store(Mode::Write);
  int16_t number = FirstFreeNumber(store);
  if (number == 0)
    store.FailWrite("it holds " + std::to_string(std::numeric_limits<int16_t>::max()) +
                    " connections, the most there can be");
  WriteEntry(store, number, dsn, uid, pwd);
  store.Commit();
  return number;
}

std::optional<int16_t> RemoveConnection(int16_t number) {
  RegistryTransaction store(Mode::Write);
  const auto last = static_cast<int16_t>(Listed(store).size());
  if (number < 1 || number > last) return std::nullopt;
  // Each later entry moves down one number, in the same transaction.
  for (int16_t from = number + 1; from <= last; ++from) {
    const std::string key = EntryKey(from);
    const std::string dsn = ReadString(store, key, "DSN"), uid = ReadString(store, key, "UID"),
                      pwd = ReadString(store, key, "PWD");
    store.DeleteKey(HKEY_LOCAL_MACHINE, EntryKey(from - 1));
    WriteEntry(store, from - 1, dsn, uid, pwd);
  }
  store.DeleteKey(HKEY_LOCAL_MACHINE, EntryKey(last));
  store.Commit();
  if (gintActiveConnection == number)
    gintActiveConnection = 0;  // its entry is gone
  else if (gintActiveConnection > number && gintActiveConnection <= last)
    --gintActiveConnection;
  return last;
}

}  // namespace corvanty::basCorvantyAdmin
