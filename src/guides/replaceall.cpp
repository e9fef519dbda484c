#include "guides/replaceall.h"

namespace corvanty::basCorvantyAdmin {

std::string ReplaceAll(std::string& strText, const std::string& strFind,
                       const std::string& strReplace) {
  if (strFind.empty()) return strText;
  for (size_t at = strText.find(strFind); at != std::string::npos;
       at = strText.find(strFind, at + strReplace.size()))
    strText.replace(at, strFind.size(), strReplace);
  return strText;
}

}  // namespace corvanty::basCorvantyAdmin
