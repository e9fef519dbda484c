#include "connections/registrystore.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace corvanty {

namespace {

std::string& PathOverride() {
  static std::string path;
  return path;
}

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS reg_keys ("
    " root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
    " PRIMARY KEY (root, path));"
    "CREATE TABLE IF NOT EXISTS reg_values ("
    " root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
    " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY (root, path, name));";

bool MakeFolders(const std::string& file_path) {
  for (size_t slash = file_path.find('/', 1); slash != std::string::npos;
       slash = file_path.find('/', slash + 1)) {
    std::string folder = file_path.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// Creates the store file owner-only before SQLite sees it, so the passwords
// it will hold are never readable by others, not even for an instant.
bool CreateOwnerOnlyFile(const std::string& path) {
  if (!MakeFolders(path)) return false;
  int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
  if (fd < 0) return false;
  fchmod(fd, 0600);
  close(fd);
  return true;
}

// A store file without its owner's write bit is treated as read-only, even
// for a super-user who could write it anyway.
bool FileIsWritable(const struct stat& info) { return (info.st_mode & S_IWUSR) != 0; }

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool Ok() const { return stmt_ != nullptr; }
  void Bind(int i, int32_t v) { sqlite3_bind_int(stmt_, i, v); }
  void Bind(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  void BindBlob(int i, const std::vector<unsigned char>& v) {
    // An empty value must stay an empty blob, not NULL.
    if (v.empty())
      sqlite3_bind_zeroblob(stmt_, i, 0);
    else
      sqlite3_bind_blob(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  int Step() { return sqlite3_step(stmt_); }
  sqlite3_stmt* Get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

bool KeyExists(sqlite3* db, int32_t root, const std::string& path) {
  Statement st(db, "SELECT 1 FROM reg_keys WHERE root = ? AND path = ?");
  if (!st.Ok()) return false;
  st.Bind(1, root);
  st.Bind(2, path);
  return st.Step() == SQLITE_ROW;
}

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Runs body inside one transaction; rolls back when it fails.
template <typename Body>
int32_t InTransaction(sqlite3* db, Body body) {
  if (!Exec(db, "BEGIN IMMEDIATE")) return ERROR_ACCESS_DENIED;
  if (!body()) {
    Exec(db, "ROLLBACK");
    return ERROR_REGISTRY_IO_FAILED;
  }
  if (!Exec(db, "COMMIT")) {
    Exec(db, "ROLLBACK");
    return ERROR_REGISTRY_IO_FAILED;
  }
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegistryPath() {
  if (!PathOverride().empty()) return PathOverride();
  if (const char* env = std::getenv("CORVANTY_REGISTRY"); env && *env) return env;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::string(xdg) + "/corvanty/registry.db";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.config/corvanty/registry.db";
}

void SetRegistryPathOverride(const std::string& path) { PathOverride() = path; }

RegistryKey::RegistryKey(RegistryKey&& other) noexcept { *this = std::move(other); }

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = other.db_;
    writable_ = other.writable_;
    root_ = other.root_;
    path_ = std::move(other.path_);
    other.db_ = nullptr;
  }
  return *this;
}

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Close() noexcept {
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

int32_t RegistryKey::OpenStore(bool create, sqlite3*& db, bool& writable) {
  std::string path = RegistryPath();
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (!create) return ERROR_FILE_NOT_FOUND;
    if (!CreateOwnerOnlyFile(path)) return ERROR_ACCESS_DENIED;
    if (stat(path.c_str(), &info) != 0) return ERROR_ACCESS_DENIED;
  }
  writable = FileIsWritable(info);
  int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    db = nullptr;
    return ERROR_ACCESS_DENIED;
  }
  sqlite3_busy_timeout(db, 2000);
  if (writable && !Exec(db, kSchema)) {
    sqlite3_close(db);
    db = nullptr;
    return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
}

int32_t RegistryKey::Open(int32_t root, const std::string& path, RegistryKey& key) {
  key.Close();
  sqlite3* db = nullptr;
  bool writable = false;
  if (int32_t status = OpenStore(false, db, writable); status != ERROR_SUCCESS) return status;
  if (!KeyExists(db, root, path)) {
    sqlite3_close(db);
    return ERROR_FILE_NOT_FOUND;
  }
  key.db_ = db;
  key.writable_ = writable;
  key.root_ = root;
  key.path_ = path;
  return ERROR_SUCCESS;
}

int32_t RegistryKey::Create(int32_t root, const std::string& path, RegistryKey& key) {
  key.Close();
  sqlite3* db = nullptr;
  bool writable = false;
  if (int32_t status = OpenStore(true, db, writable); status != ERROR_SUCCESS) return status;
  if (!KeyExists(db, root, path)) {
    int32_t status =
        writable
            ? InTransaction(
                  db,
                  [&] {
                    // The key and every parent on its path, as the platform creates them.
                    for (size_t cut = path.find('\\');; cut = path.find('\\', cut + 1)) {
                      Statement st(db, "INSERT OR IGNORE INTO reg_keys (root, path) VALUES (?, ?)");
                      if (!st.Ok()) return false;
                      st.Bind(1, root);
                      st.Bind(2, path.substr(0, cut));
                      if (st.Step() != SQLITE_DONE) return false;
                      if (cut == std::string::npos) return true;
                    }
                  })
            : ERROR_ACCESS_DENIED;
    if (status != ERROR_SUCCESS) {
      sqlite3_close(db);
      return status;
    }
  }
  key.db_ = db;
  key.writable_ = writable;
  key.root_ = root;
  key.path_ = path;
  return ERROR_SUCCESS;
}

int32_t RegistryKey::Query(const std::string& name, int32_t& type, std::vector<unsigned char>& data,
                           size_t max_size) const {
  if (!db_) return ERROR_INVALID_HANDLE;
  Statement st(db_, "SELECT type, data FROM reg_values WHERE root = ? AND path = ? AND name = ?");
  if (!st.Ok()) return ERROR_REGISTRY_IO_FAILED;
  st.Bind(1, root_);
  st.Bind(2, path_);
  st.Bind(3, name);
  if (st.Step() != SQLITE_ROW) return ERROR_FILE_NOT_FOUND;
  type = sqlite3_column_int(st.Get(), 0);
  auto bytes = static_cast<const unsigned char*>(sqlite3_column_blob(st.Get(), 1));
  size_t size = static_cast<size_t>(sqlite3_column_bytes(st.Get(), 1));
  data.assign(bytes, bytes + size);
  return size > max_size ? ERROR_MORE_DATA : ERROR_SUCCESS;
}

int32_t RegistryKey::Set(const std::string& name, int32_t type,
                         const std::vector<unsigned char>& data) {
  if (!db_) return ERROR_INVALID_HANDLE;
  if (!writable_) return ERROR_ACCESS_DENIED;
  return InTransaction(db_, [&] {
    Statement st(db_,
                 "INSERT OR REPLACE INTO reg_values (root, path, name, type, data)"
                 " VALUES (?, ?, ?, ?, ?)");
    if (!st.Ok()) return false;
    st.Bind(1, root_);
    st.Bind(2, path_);
    st.Bind(3, name);
    st.Bind(4, type);
    st.BindBlob(5, data);
    return st.Step() == SQLITE_DONE;
  });
}

}  // namespace corvanty
