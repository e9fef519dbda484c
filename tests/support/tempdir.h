// SPDX-License-Identifier: Apache-2.0
#pragma once
// A temporary folder removed with everything in it when the test ends, and
// a scoped environment variable.
#include <optional>
#include <string>

namespace corvanty::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Points the registry at a fresh file in its own temporary folder.
class TempRegistry {
 public:
  TempRegistry() : env_("CORVANTY_REGISTRY", Path()) {}
  std::string Path() const { return dir_.File("registry.db"); }

 private:
  TempDir dir_;
  ScopedEnv env_;
};

}  // namespace corvanty::testing
