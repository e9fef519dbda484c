// SPDX-License-Identifier: Apache-2.0
// The functions the extension gives the server: velmorastine_search_rows
// (the rows of a search, streamed one at a time, which velmorastine_search
// of the extension's script returns) and velmorastine_search_sql (the
// statements a search runs). This file is the server's side of the
// boundary: server calls and plain data only, no C++ object with a
// destructor, so a server error may jump through it; C++ work is asked of
// searchcall.h, which never throws.
#include "search/postgresextension/postgrescalls.h"
#include "search/postgresextension/searchcall.h"

extern "C" {
PG_MODULE_MAGIC;
void _PG_init(void);
PG_FUNCTION_INFO_V1(velmorastine_search_rows);
PG_FUNCTION_INFO_V1(velmorastine_search_sql);
}

namespace corvanty::postgres {
namespace {

// The search paths a call works under, by its function's own schema (the
// one holding the guide tables): while it reads the guides, that schema
// (pg_catalog, not named, comes before it, and temporary tables after it);
// while the guides' statements run, pg_catalog, that schema and pg_temp.
// In the current memory context.
void SetPaths(FunctionCallInfo fcinfo, SearchCall& call) {
  const char* schema = get_namespace_name(get_func_namespace(fcinfo->flinfo->fn_oid));
  if (!schema)
    ereport(ERROR, (errcode(ERRCODE_UNDEFINED_SCHEMA),
                    errmsg("the schema of the search function no longer exists")));
  const char* quoted = quote_identifier(schema);
  call.reading_path = psprintf("%s, pg_temp", quoted);
  call.running_path = psprintf("pg_catalog, %s, pg_temp", quoted);
}

// Sets the search path until the nesting level returned is closed with
// AtEOXact_GUC(true, level); a server error closes it on its own.
int UsePath(const char* path) {
  const int level = NewGUCNestLevel();
  set_config_option("search_path", path, PGC_USERSET, PGC_S_SESSION, GUC_ACTION_SAVE, true, 0,
                    false);
  return level;
}

char* TextArgument(FunctionCallInfo fcinfo, int which) {
  return PG_ARGISNULL(which) ? nullptr : text_to_cstring(PG_GETARG_TEXT_PP(which));
}

// The criteria as searched: the first 255 characters.
char* CriteriaArgument(FunctionCallInfo fcinfo, int which) {
  if (PG_ARGISNULL(which)) return pstrdup("");
  char* criteria = text_to_cstring(PG_GETARG_TEXT_PP(which));
  criteria[pg_mbcharcliplen(criteria, static_cast<int>(strlen(criteria)), 255)] = '\0';
  return criteria;
}

// First call of either function: the call's state, kept in the multi-call
// memory and deleted with it, and the search planned on it.
SearchCall* StartCall(FunctionCallInfo fcinfo, FuncCallContext* funcctx) {
  CaughtError error;
  SearchCall* call = NewSearchCall(error);
  if (!call) Raise(error);
  MemoryContext before = MemoryContextSwitchTo(funcctx->multi_call_memory_ctx);
  MemoryContextCallback* deletion =
      static_cast<MemoryContextCallback*>(palloc0(sizeof(MemoryContextCallback)));
  deletion->func = DeleteSearchCall;
  deletion->arg = call;
  MemoryContextRegisterResetCallback(funcctx->multi_call_memory_ctx, deletion);
  funcctx->user_fctx = call;
  SetPaths(fcinfo, *call);
  call->rows_memory =
      AllocSetContextCreate(funcctx->multi_call_memory_ctx, "search rows", ALLOCSET_DEFAULT_SIZES);
  MemoryContextSwitchTo(before);

  char* guides = TextArgument(fcinfo, 0);
  char* criteria = CriteriaArgument(fcinfo, 1);
  SPI_connect();
  const int level = UsePath(call->reading_path);
  const bool planned = PlanSearchCall(*call, guides, criteria, error);
  AtEOXact_GUC(true, level);
  SPI_finish();
  if (!planned) Raise(error);
  return call;
}

void ResultShape(FunctionCallInfo fcinfo, FuncCallContext* funcctx) {
  // In the multi-call memory: the input metadata keeps the descriptor.
  MemoryContext before = MemoryContextSwitchTo(funcctx->multi_call_memory_ctx);
  TupleDesc shape;
  if (get_call_result_type(fcinfo, nullptr, &shape) != TYPEFUNC_COMPOSITE)
    ereport(ERROR, (errcode(ERRCODE_FEATURE_NOT_SUPPORTED),
                    errmsg("the search function is called where no row type is known")));
  funcctx->attinmeta = TupleDescGetAttInMetadata(BlessTupleDesc(shape));
  MemoryContextSwitchTo(before);
}

void CloseCursor(SearchCall& call) {
  if (!call.portal[0]) return;
  if (Portal portal = SPI_cursor_find(call.portal)) SPI_cursor_close(portal);
  call.portal[0] = '\0';
}

// Called when the query stops reading the function before its last row
// (a LIMIT): the cursor goes at once rather than at the transaction's end.
void CloseCursorEarly(Datum call) {
  CloseCursor(*reinterpret_cast<SearchCall*>(DatumGetPointer(call)));
}

// Opens the cursor of the next statement that has one; false when none is
// left. Connected to SPI, under the running path.
bool OpenNextCursor(SearchCall& call) {
  if (call.next == StatementCount(call)) return false;
  const size_t which = call.next++;
  SPIPlanPtr& plan = StatementPlan(call, which);
  if (!plan) {
    // The service's own casts: the key column whatever its type as text.
    char* wrapped = psprintf(
        "SELECT CAST(r.a AS pg_catalog.text), CAST(r.b AS pg_catalog.text), "
        "CAST(r.c AS pg_catalog.int4) FROM (%s) AS r (a, b, c)",
        StatementText(call, which));
    SPIPlanPtr prepared = SPI_prepare(wrapped, 0, nullptr);
    if (!prepared)
      ereport(ERROR, (errcode(ERRCODE_INTERNAL_ERROR),
                      errmsg("the search could not prepare guide %d's statement: %s",
                             StatementGuide(call, which), SPI_result_code_string(SPI_result))));
    SPI_keepplan(prepared);
    plan = prepared;
  }
  Portal portal = SPI_cursor_open(nullptr, plan, nullptr, nullptr, false);
  strlcpy(call.portal, portal->name, sizeof(call.portal));
  return true;
}

// Fetches the next rows of the statements into the call's buffer, copied out
// of SPI's memory; false when every statement is read.
bool FetchRows(SearchCall& call) {
  MemoryContextReset(call.rows_memory);
  call.fetched = call.returned = 0;
  SPI_connect();
  const int level = UsePath(call.running_path);
  while (call.fetched == 0) {
    if (!call.portal[0] && !OpenNextCursor(call)) break;
    long wanted = call.batch;
    if (call.still_wanted >= 0 && call.still_wanted < wanted) wanted = call.still_wanted;
    SPI_cursor_fetch(SPI_cursor_find(call.portal), true, wanted);
    if (SPI_processed == 0) {
      CloseCursor(call);
      continue;
    }
    call.batch = call.batch * 2 > kLargestBatch ? kLargestBatch : call.batch * 2;
    call.fetched = SPI_processed;
    call.rows =
        static_cast<char**>(MemoryContextAlloc(call.rows_memory, sizeof(char*) * 3 * call.fetched));
    for (uint64 r = 0; r < call.fetched; ++r)
      for (int c = 0; c < 3; ++c) {
        char* value = SPI_getvalue(SPI_tuptable->vals[r], SPI_tuptable->tupdesc, c + 1);
        call.rows[r * 3 + c] = value ? MemoryContextStrdup(call.rows_memory, value) : nullptr;
      }
    SPI_freetuptable(SPI_tuptable);
  }
  AtEOXact_GUC(true, level);
  SPI_finish();
  return call.fetched > 0;
}

Datum ReturnRow(FuncCallContext* funcctx, char** values) {
  return HeapTupleGetDatum(BuildTupleFromCStrings(funcctx->attinmeta, values));
}

}  // namespace
}  // namespace corvanty::postgres

using namespace corvanty::postgres;

void _PG_init(void) { WatchRelationChanges(); }

// velmorastine_search_rows(dsgstring, searchcriteria, most_rows): the rows of
// each listed guide's statement, guide after guide, read from a cursor as
// the caller asks for them; no more than most_rows in all when it is given.
// When no listed guide has column rows, the one row "Error: Database Search
// Guide ID(s) invalid.".
Datum velmorastine_search_rows(PG_FUNCTION_ARGS) {
  FuncCallContext* funcctx;
  ReturnSetInfo* rsinfo = reinterpret_cast<ReturnSetInfo*>(fcinfo->resultinfo);
  if (SRF_IS_FIRSTCALL()) {
    if (!PG_ARGISNULL(2) && PG_GETARG_INT32(2) < 0)
      ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                      errmsg("The most rows wanted, %d, is not a number of rows: give 0 or more, "
                             "or NULL for all rows.",
                             PG_GETARG_INT32(2))));
    funcctx = SRF_FIRSTCALL_INIT();
    ResultShape(fcinfo, funcctx);
    SearchCall* call = StartCall(fcinfo, funcctx);
    call->still_wanted = PG_ARGISNULL(2) ? -1 : PG_GETARG_INT32(2);
    if (rsinfo && IsA(rsinfo, ReturnSetInfo))
      RegisterExprContextCallback(rsinfo->econtext, CloseCursorEarly, PointerGetDatum(call));
  }
  funcctx = SRF_PERCALL_SETUP();
  SearchCall& call = *static_cast<SearchCall*>(funcctx->user_fctx);
  if (call.still_wanted != 0) {
    if (!call.planned && !call.message_sent) {
      call.message_sent = true;
      if (call.still_wanted > 0) --call.still_wanted;
      char* values[3] = {const_cast<char*>(corvanty::kInvalidGuidesMessage), nullptr, nullptr};
      SRF_RETURN_NEXT(funcctx, ReturnRow(funcctx, values));
    }
    if (call.planned && (call.returned < call.fetched || FetchRows(call))) {
      char** values = call.rows + 3 * call.returned++;
      if (call.still_wanted > 0) --call.still_wanted;
      SRF_RETURN_NEXT(funcctx, ReturnRow(funcctx, values));
    }
  }
  CloseCursor(call);
  if (rsinfo && IsA(rsinfo, ReturnSetInfo))
    UnregisterExprContextCallback(rsinfo->econtext, CloseCursorEarly, PointerGetDatum(&call));
  SRF_RETURN_DONE(funcctx);
}

// velmorastine_search_sql(dsgstring, searchcriteria): the statement the
// search runs for each listed guide that has column rows, in guide order.
Datum velmorastine_search_sql(PG_FUNCTION_ARGS) {
  FuncCallContext* funcctx;
  if (SRF_IS_FIRSTCALL()) {
    funcctx = SRF_FIRSTCALL_INIT();
    ResultShape(fcinfo, funcctx);
    StartCall(fcinfo, funcctx);
  }
  funcctx = SRF_PERCALL_SETUP();
  SearchCall& call = *static_cast<SearchCall*>(funcctx->user_fctx);
  if (call.next == StatementCount(call)) SRF_RETURN_DONE(funcctx);
  const size_t which = call.next++;
  char* values[2] = {const_cast<char*>(StatementText(call, which)),
                     psprintf("%d", StatementGuide(call, which))};
  SRF_RETURN_NEXT(funcctx, ReturnRow(funcctx, values));
}
