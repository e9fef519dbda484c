// SPDX-License-Identifier: Apache-2.0
#pragma once
// The PostgreSQL server's own headers, for the search extension's files
// alone: C declarations, and macros (PG_TRY, SRF_*) that jump with longjmp.
// No C++ object with a destructor may live in a frame such a jump leaves:
// postgresboundary.h is the one place where the two kinds of error meet.
extern "C" {
#include "postgres.h"
// postgres.h first, as the server's headers require.
#include "access/htup_details.h"
#include "access/transam.h"
#include "access/xact.h"
#include "access/xlog.h"
#include "catalog/pg_type.h"
#include "executor/spi.h"
#include "fmgr.h"
#include "funcapi.h"
#include "mb/pg_wchar.h"
#include "miscadmin.h"
#include "storage/lwlock.h"
#include "storage/lwlocknames.h"
#include "utils/builtins.h"
#include "utils/guc.h"
#include "utils/inval.h"
#include "utils/lsyscache.h"
#include "utils/memutils.h"
}
