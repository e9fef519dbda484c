#include "connections/connectionstore.h"

#include <limits>

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

std::string ReadString(const std::string& key, const char* name) {
  return RegValueToString(VelmorastineAPI::QueryValue(key, name));
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

bool LoadConnection(int16_t number) {
  std::string key = EntryKey(number);
  gstrDSN = ReadString(key, "DSN");
  if (gstrDSN.empty()) return false;
  gstrUID = ReadString(key, "UID");
  gstrPWD = ReadString(key, "PWD");
  gstrConnect = BuildConnectString(gstrDSN, gstrUID, gstrPWD);
  return true;
}

void ListConnections(std::vector<std::string>& list) {
  list.assign(1, std::string());
  for (int number = 1; number <= std::numeric_limits<int16_t>::max(); ++number) {
    std::string dsn = ReadString(EntryKey(static_cast<int16_t>(number)), "DSN");
    if (dsn.empty()) break;
    list.push_back(dsn);
  }
}

bool SaveConnection(int16_t number, const std::string& dsn, const std::string& uid,
                    const std::string& pwd) {
  std::string key = EntryKey(number);
  // The data source name goes last: an entry is listed only once it has
  // one, so a save that fails half-way leaves no half-written connection.
  return VelmorastineAPI::CreateNewKey(key, HKEY_LOCAL_MACHINE) &&
         VelmorastineAPI::SetKeyValue(key, "UID", uid, REG_SZ) &&
         VelmorastineAPI::SetKeyValue(key, "PWD", pwd, REG_SZ) &&
         VelmorastineAPI::SetKeyValue(key, "DSN", dsn, REG_SZ);
}

int16_t NextConnectionNumber() {
  std::vector<std::string> list;
  ListConnections(list);
  size_t last = list.size() - 1;
  if (last >= static_cast<size_t>(std::numeric_limits<int16_t>::max())) return 0;
  return static_cast<int16_t>(last + 1);
}

void ResetConnectionParameters() {
  gstrDSN.clear();
  gstrUID.clear();
  gstrPWD.clear();
  gstrConnect.clear();
  gintActiveConnection = 0;
}

}  // namespace corvanty::basCorvantyAdmin
