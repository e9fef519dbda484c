// SPDX-License-Identifier: Apache-2.0
#pragma once
// A file built beside the one it replaces and renamed over it once whole,
// so that whoever looks at the target, at any moment and after any
// interruption, finds either the old file or the complete new one.
#include <string>

namespace corvanty::demo {

class ReplacementFile {
 public:
  // Creates an empty temporary file in the target's folder (mode as for any
  // new file). Throws std::runtime_error naming the folder and the cause.
  explicit ReplacementFile(std::string target);
  ~ReplacementFile();  // removes the temporary file unless it was put in place
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  const std::string& Path() const { return temporary_; }

  // Flushes the new file to disk and renames it over the target. Throws
  // std::runtime_error naming the target and the cause.
  void PutInPlace();

 private:
  std::string target_;
  std::string temporary_;
  bool placed_ = false;
};

}  // namespace corvanty::demo
