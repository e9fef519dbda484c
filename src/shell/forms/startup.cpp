#include "shell/forms/startup.h"

#include "shell/forms/mdicorvantymain.h"

namespace corvanty {

void Main() { mdiCorvantyMain::Instance().Show(); }

}  // namespace corvanty
