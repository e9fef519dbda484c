// SPDX-License-Identifier: Apache-2.0
#include "guides/replaceall.h"

namespace corvanty::basCorvantyAdmin {

std::string ReplaceAll(std::string& strText, const std::string& strFind,
                       const std::string& strReplace) {
  if (strFind.empty()) return strText;
  // Resuming after the inserted text is the same as reading the original
  // text once from left to right, so the result is built in one pass.
  std::string result;
  size_t from = 0;
  for (size_t at = strText.find(strFind); at != std::string::npos;
       at = strText.find(strFind, from)) {
    result.append(strText, from, at - from).append(strReplace);
    from = at + strFind.size();
  }
  strText = result.append(strText, from, std::string::npos);
  return strText;
}

}  // namespace corvanty::basCorvantyAdmin
