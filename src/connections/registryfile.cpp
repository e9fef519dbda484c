// SPDX-License-Identifier: Apache-2.0
#include "connections/registryfile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "connections/registrystore.h"

namespace corvanty {

namespace {

// How long a reader or writer waits for another process holding the file.
constexpr int kLockWaitMs = 5000;

// Tries the lock again every millisecond. SQLite's own wait backs off to
// tries 100 ms apart, and a process saving many entries in a row takes the
// lock back within a millisecond of releasing it: the waiter would starve.
int RetryEveryMillisecond(void*, int tries) {
  if (tries >= kLockWaitMs) return 0;
  usleep(1000);
  return 1;
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

// The words for SQLite's failures that an administrator can act on.
std::string SqliteCause(sqlite3* db) {
  switch (sqlite3_errcode(db) & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "another process holds it locked";
    case SQLITE_NOTADB:
      return "it is not a database";
    case SQLITE_CORRUPT:
      return "it is damaged or cut short (" + std::string(sqlite3_errmsg(db)) + ")";
    case SQLITE_READONLY:
      return "it is read-only";
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_PERM:
      if (int error = sqlite3_system_errno(db); error != 0) return std::strerror(error);
      break;
  }
  return sqlite3_errmsg(db);
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK;
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool Ok() const { return ok_; }
  Statement& Bind(int32_t v) {
    sqlite3_bind_int(stmt_, ++bound_, v);
    return *this;
  }
  Statement& Bind(const std::string& v) {
    sqlite3_bind_text(stmt_, ++bound_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindBlob(const std::vector<unsigned char>& v) {
    // An empty value must stay an empty blob, not NULL.
    if (v.empty())
      sqlite3_bind_zeroblob(stmt_, ++bound_, 0);
    else
      sqlite3_bind_blob(stmt_, ++bound_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW or SQLITE_DONE; anything else is a failure.
  int Step() { return ok_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  sqlite3_stmt* Get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  bool ok_ = false;
  int bound_ = 0;
};

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace

RegistryFile RegistryFile::Open(bool create) {
  RegistryFile file;
  file.path_ = RegistryPath();
  // A store opened to be written reports every failure as one to write it.
  file.verb_ = create ? "written" : "read";
  struct stat info {};
  if (stat(file.path_.c_str(), &info) != 0) {
    if (errno != ENOENT) file.Fail(file.verb_, std::strerror(errno));
    if (!create) return file;
    if (!CreateOwnerOnlyFile(file.path_)) file.Fail(file.verb_, std::strerror(errno));
    if (stat(file.path_.c_str(), &info) != 0) file.Fail(file.verb_, std::strerror(errno));
  }
  if (S_ISDIR(info.st_mode)) file.Fail(file.verb_, "it is a folder");
  if (!S_ISREG(info.st_mode)) file.Fail(file.verb_, "it is not a regular file");
  if (access(file.path_.c_str(), R_OK) != 0) file.Fail(file.verb_, std::strerror(errno));
  // A store file without its owner's write bit is treated as read-only, even
  // for a super-user who could write it anyway.
  file.writable_ = (info.st_mode & S_IWUSR) != 0;
  int flags = file.writable_ ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(file.path_.c_str(), &file.db_, flags, nullptr) != SQLITE_OK)
    file.FailWithSqlite(file.verb_);
  sqlite3_busy_handler(file.db_, RetryEveryMillisecond, nullptr);
  file.tables_ = file.HasTables();
  return file;
}

RegistryFile::RegistryFile(RegistryFile&& other) noexcept { *this = std::move(other); }

RegistryFile& RegistryFile::operator=(RegistryFile&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
    writable_ = other.writable_;
    tables_ = other.tables_;
    verb_ = other.verb_;
    path_ = std::move(other.path_);
  }
  return *this;
}

RegistryFile::~RegistryFile() { Close(); }

void RegistryFile::Close() noexcept {
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

void RegistryFile::Fail(const char* verb, const std::string& cause) const {
  throw RegistryError("The registry " + path_ + " cannot be " + verb + ": " + cause + ".");
}

void RegistryFile::FailWithSqlite(const char* verb) const { Fail(verb, SqliteCause(db_)); }

// Reading the catalogue also finds a file that is locked, damaged or no
// database at all. A database holding other tables is not taken for an
// empty store: writing ours into it would change someone else's file.
bool RegistryFile::HasTables() const {
  Statement st(db_, "SELECT sum(name IN ('reg_keys', 'reg_values')), count(*) FROM sqlite_master");
  if (st.Step() != SQLITE_ROW) FailWithSqlite(verb_);
  int ours = sqlite3_column_int(st.Get(), 0);
  int all = sqlite3_column_int(st.Get(), 1);
  if (ours == 0 && all > 0) Fail(verb_, "it is a database of another kind, not a registry");
  return ours > 0;
}

void RegistryFile::BeginRead() {
  if (!db_) return;
  if (!Exec(db_, "BEGIN")) FailWithSqlite("read");
  try {
    tables_ = HasTables();  // takes the read lock: the snapshot starts here
  } catch (...) {
    EndRead();
    throw;
  }
}

void RegistryFile::EndRead() noexcept {
  if (db_) Exec(db_, "COMMIT");
}

void RegistryFile::BeginWrite() {
  if (!writable_) Fail("written", "it is read-only");
  // Passwords go in: an existing file readable by others is closed to them first.
  struct stat info {};
  if (stat(path_.c_str(), &info) != 0) Fail("written", std::strerror(errno));
  if ((info.st_mode & 0777) != 0600 && chmod(path_.c_str(), 0600) != 0)
    Fail("written", "its permissions cannot be limited to its owner (" +
                        std::string(std::strerror(errno)) + ")");
  if (!Exec(db_, "BEGIN IMMEDIATE")) FailWithSqlite("written");
  if (!Exec(db_, kSchema)) {
    std::string cause = SqliteCause(db_);
    Rollback();
    Fail("written", cause);
  }
  tables_ = true;
}

void RegistryFile::Commit() {
  if (!Exec(db_, "COMMIT")) {
    std::string cause = SqliteCause(db_);
    Rollback();
    Fail("written", cause);
  }
}

void RegistryFile::Rollback() noexcept {
  if (db_ && !sqlite3_get_autocommit(db_)) Exec(db_, "ROLLBACK");
}

bool RegistryFile::KeyExists(int32_t root, const std::string& path) const {
  if (!db_ || !tables_) return false;
  Statement st(db_, "SELECT 1 FROM reg_keys WHERE root = ? AND path = ?");
  int rc = st.Bind(root).Bind(path).Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) FailWithSqlite(verb_);
  return rc == SQLITE_ROW;
}

std::optional<StoredValue> RegistryFile::Query(int32_t root, const std::string& path,
                                               const std::string& name) const {
  if (!db_ || !tables_) return std::nullopt;
  Statement st(db_, "SELECT type, data FROM reg_values WHERE root = ? AND path = ? AND name = ?");
  int rc = st.Bind(root).Bind(path).Bind(name).Step();
  if (rc == SQLITE_DONE) return std::nullopt;
  if (rc != SQLITE_ROW) FailWithSqlite(verb_);
  StoredValue value;
  value.type = sqlite3_column_int(st.Get(), 0);
  auto bytes = static_cast<const unsigned char*>(sqlite3_column_blob(st.Get(), 1));
  value.data.assign(bytes, bytes + sqlite3_column_bytes(st.Get(), 1));
  return value;
}

std::map<std::string, StoredValue> RegistryFile::QuerySubkeys(int32_t root, const std::string& path,
                                                              const std::string& name) const {
  std::map<std::string, StoredValue> values;
  if (!db_ || !tables_) return values;
  // Backslash-separated paths: a subkey's path is this one, a backslash and
  // its name. LIKE would read _ and % in the path as wildcards.
  Statement st(db_,
               "SELECT substr(path, length(?2) + 2), type, data FROM reg_values"
               " WHERE root = ?1 AND name = ?3 AND"
               " substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE AND"
               " instr(substr(path, length(?2) + 2), '\\') = 0");
  st.Bind(root).Bind(path).Bind(name);
  int rc = SQLITE_ROW;
  while ((rc = st.Step()) == SQLITE_ROW) {
    StoredValue& value = values[reinterpret_cast<const char*>(sqlite3_column_text(st.Get(), 0))];
    value.type = sqlite3_column_int(st.Get(), 1);
    auto bytes = static_cast<const unsigned char*>(sqlite3_column_blob(st.Get(), 2));
    value.data.assign(bytes, bytes + sqlite3_column_bytes(st.Get(), 2));
  }
  if (rc != SQLITE_DONE) FailWithSqlite(verb_);
  return values;
}

void RegistryFile::CreateKey(int32_t root, const std::string& path) {
  // The key and every parent on its path, as the platform creates them.
  for (size_t cut = path.find('\\');; cut = path.find('\\', cut + 1)) {
    Statement st(db_, "INSERT OR IGNORE INTO reg_keys (root, path) VALUES (?, ?)");
    if (st.Bind(root).Bind(path.substr(0, cut)).Step() != SQLITE_DONE) FailWithSqlite("written");
    if (cut == std::string::npos) return;
  }
}

void RegistryFile::Set(int32_t root, const std::string& path, const std::string& name,
                       const StoredValue& value) {
  Statement st(db_,
               "INSERT OR REPLACE INTO reg_values (root, path, name, type, data)"
               " VALUES (?, ?, ?, ?, ?)");
  if (st.Bind(root).Bind(path).Bind(name).Bind(value.type).BindBlob(value.data).Step() !=
      SQLITE_DONE)
    FailWithSqlite("written");
}

void RegistryFile::DeleteKey(int32_t root, const std::string& path) {
  // Backslash-separated paths: the subkeys are the paths that start with
  // this one and a backslash. LIKE would read _ and % as wildcards.
  for (const char* sql : {"DELETE FROM reg_values WHERE root = ?1 AND (path = ?2 OR"
                          " substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE)",
                          "DELETE FROM reg_keys WHERE root = ?1 AND (path = ?2 OR"
                          " substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE)"}) {
    Statement st(db_, sql);
    if (st.Bind(root).Bind(path).Step() != SQLITE_DONE) FailWithSqlite("written");
  }
}

}  // namespace corvanty
