// SPDX-License-Identifier: Apache-2.0
#include "app/forms/startup.h"

#include "app/forms/mdicorvantymain.h"

namespace corvanty {

void Main() { mdiCorvantyMain::Instance().Show(); }

}  // namespace corvanty
