// SPDX-License-Identifier: Apache-2.0
#include "connections/registryfile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "connections/registrystore.h"
#include "connections/sqlitedatabase.h"

namespace corvanty {

namespace {

// How long a reader or writer waits for another process holding the file.
constexpr int kRegistryLockWaitMs = 5000;

// Tries the lock again every millisecond. SQLite's own wait backs off to
// tries 100 ms apart, and a process saving many entries in a row takes the
// lock back within a millisecond of releasing it: the waiter would starve.
int RetryEveryMillisecond(void*, int tries) {
  if (tries >= kRegistryLockWaitMs) return 0;
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
std::string SqliteCause(const sqlite::Error& error) {
  switch (error.PrimaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "another process holds it locked";
    case SQLITE_NOTADB:
      return "it is not a database";
    case SQLITE_CORRUPT:
      return "it is damaged or cut short (" + std::string(error.what()) + ")";
    case SQLITE_READONLY:
      return "it is read-only";
    case SQLITE_FULL:
      return "the disk is full";
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_PERM:
      if (error.SystemErrno() != 0) return std::strerror(error.SystemErrno());
      break;
  }
  return error.what();
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
  using Mode = sqlite::Database::Mode;
  file.Sqlite(file.verb_, [&] {
    file.db_.emplace(file.path_, file.writable_ ? Mode::kReadWrite : Mode::kReadOnly);
  });
  sqlite3_busy_handler(file.db_->Get(), RetryEveryMillisecond, nullptr);
  file.tables_ = file.HasTables();
  return file;
}

void RegistryFile::Fail(const char* verb, const std::string& cause) const {
  throw RegistryError("The registry " + path_ + " cannot be " + verb + ": " + cause + ".");
}

template <typename Work>
void RegistryFile::Sqlite(const char* verb, Work&& work) const {
  try {
    work();
  } catch (const sqlite::Error& error) {
    Fail(verb, SqliteCause(error));
  }
}

// Reading the catalogue also finds a file that is locked, damaged or no
// database at all. A database holding other tables is not taken for an
// empty store: writing ours into it would change someone else's file.
bool RegistryFile::HasTables() const {
  long long ours = 0, all = 0;
  Sqlite(verb_, [&] {
    sqlite::Statement st =
        db_->Prepare("SELECT sum(name IN ('reg_keys', 'reg_values')), count(*) FROM sqlite_master");
    st.Step();
    ours = st.Int64(0);
    all = st.Int64(1);
  });
  if (ours == 0 && all > 0) Fail(verb_, "it is a database of another kind, not a registry");
  return ours > 0;
}

void RegistryFile::BeginRead() {
  if (!db_) return;
  Sqlite("read", [&] { db_->Exec("BEGIN"); });
  try {
    tables_ = HasTables();  // takes the read lock: the snapshot starts here
  } catch (...) {
    EndRead();
    throw;
  }
}

void RegistryFile::EndRead() noexcept {
  try {
    if (db_) db_->Exec("COMMIT");
  } catch (const sqlite::Error&) {  // a read transaction has nothing to lose
  }
}

void RegistryFile::BeginWrite() {
  if (!writable_) Fail("written", "it is read-only");
  // Passwords go in: an existing file readable by others is closed to them first.
  struct stat info {};
  if (stat(path_.c_str(), &info) != 0) Fail("written", std::strerror(errno));
  if ((info.st_mode & 0777) != 0600 && chmod(path_.c_str(), 0600) != 0)
    Fail("written", "its permissions cannot be limited to its owner (" +
                        std::string(std::strerror(errno)) + ")");
  Sqlite("written", [&] { db_->Exec("BEGIN IMMEDIATE"); });
  try {
    Sqlite("written", [&] { db_->Exec(kSchema); });
  } catch (...) {
    Rollback();
    throw;
  }
  tables_ = true;
}

void RegistryFile::Commit() {
  try {
    Sqlite("written", [&] { db_->Exec("COMMIT"); });
  } catch (...) {
    Rollback();
    throw;
  }
}

void RegistryFile::Rollback() noexcept {
  try {
    if (db_ && !sqlite3_get_autocommit(db_->Get())) db_->Exec("ROLLBACK");
  } catch (const sqlite::Error&) {  // SQLite has rolled back on its own
  }
}

bool RegistryFile::KeyExists(int32_t root, const std::string& path) const {
  if (!db_ || !tables_) return false;
  bool exists = false;
  Sqlite(verb_, [&] {
    exists = db_->Prepare("SELECT 1 FROM reg_keys WHERE root = ? AND path = ?")
                 .Bind(root)
                 .Bind(path)
                 .Step();
  });
  return exists;
}

std::optional<StoredValue> RegistryFile::Query(int32_t root, const std::string& path,
                                               const std::string& name) const {
  if (!db_ || !tables_) return std::nullopt;
  std::optional<StoredValue> value;
  Sqlite(verb_, [&] {
    sqlite::Statement st =
        db_->Prepare("SELECT type, data FROM reg_values WHERE root = ? AND path = ? AND name = ?");
    if (st.Bind(root).Bind(path).Bind(name).Step())
      value = StoredValue{static_cast<int32_t>(st.Int64(0)), st.Blob(1)};
  });
  return value;
}

std::map<std::string, StoredValue> RegistryFile::QuerySubkeys(int32_t root, const std::string& path,
                                                              const std::string& name) const {
  std::map<std::string, StoredValue> values;
  if (!db_ || !tables_) return values;
  // Backslash-separated paths: a subkey's path is this one, a backslash and
  // its name. LIKE would read _ and % in the path as wildcards.
  Sqlite(verb_, [&] {
    sqlite::Statement st = db_->Prepare(
        "SELECT substr(path, length(?2) + 2), type, data FROM reg_values"
        " WHERE root = ?1 AND name = ?3 AND"
        " substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE AND"
        " instr(substr(path, length(?2) + 2), '\\') = 0");
    st.Bind(root).Bind(path).Bind(name);
    while (st.Step())
      values[st.Text(0)] = StoredValue{static_cast<int32_t>(st.Int64(1)), st.Blob(2)};
  });
  return values;
}

void RegistryFile::CreateKey(int32_t root, const std::string& path) {
  // The key and every parent on its path, as the platform creates them.
  Sqlite("written", [&] {
    sqlite::Statement st =
        db_->Prepare("INSERT OR IGNORE INTO reg_keys (root, path) VALUES (?, ?)");
    for (size_t cut = path.find('\\');; cut = path.find('\\', cut + 1)) {
      st.Bind(root).Bind(path.substr(0, cut)).Step();
      st.Reset();
      if (cut == std::string::npos) return;
    }
  });
}

void RegistryFile::Set(int32_t root, const std::string& path, const std::string& name,
                       const StoredValue& value) {
  Sqlite("written", [&] {
    db_->Prepare(
           "INSERT OR REPLACE INTO reg_values (root, path, name, type, data) VALUES (?, ?, ?, ?, "
           "?)")
        .Bind(root)
        .Bind(path)
        .Bind(name)
        .Bind(value.type)
        .BindBlob(value.data)
        .Step();
  });
}

void RegistryFile::DeleteKey(int32_t root, const std::string& path) {
  // Backslash-separated paths: the subkeys are the paths that start with
  // this one and a backslash. LIKE would read _ and % as wildcards.
  Sqlite("written", [&] {
    for (const char* sql : {"DELETE FROM reg_values WHERE root = ?1 AND (path = ?2 OR"
                            " substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE)",
                            "DELETE FROM reg_keys WHERE root = ?1 AND (path = ?2 OR"
                            " substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE)"})
      db_->Prepare(sql).Bind(root).Bind(path).Step();
  });
}

}  // namespace corvanty
