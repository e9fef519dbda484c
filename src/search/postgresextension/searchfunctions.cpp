// SPDX-License-Identifier: Apache-2.0
// The functions the extension gives the server: velmorastine_search_rows
// (the rows of a search, streamed one at a time, which velmorastine_search
// of the extension's script returns) and velmorastine_search_sql (the
// statements a search runs). This file is the server's side of the
// boundary: server calls and plain data only, no C++ object with a
// destructor, so a server error may jump through it; C++ work is asked of
// searchcall.h, which never throws.
#include <optional>

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

// The search path a call works under, by its function's own schema (the
// one holding the guide tables): that schema, then temporary tables.
// pg_catalog, not named, is searched before it: nothing another role
// creates in the schema can stand in for a built-in operator, function or
// type, and current_schema() is the schema, where the guides' trigram
// indexes are looked for. In the current memory context.
const char* PathOf(FunctionCallInfo fcinfo) {
  const char* schema = get_namespace_name(get_func_namespace(fcinfo->flinfo->fn_oid));
  if (!schema)
    ereport(ERROR, (errcode(ERRCODE_UNDEFINED_SCHEMA),
                    errmsg("the schema of the search function no longer exists")));
  return psprintf("%s, pg_temp", quote_identifier(schema));
}

// Connects to SPI under the call's search path, until Leave is given the
// level returned; a server error undoes both on its own.
int Enter(const SearchCall& call) {
  SPI_connect();
  const int level = NewGUCNestLevel();
  set_config_option("search_path", call.path, PGC_USERSET, PGC_S_SESSION, GUC_ACTION_SAVE, true, 0,
                    false);
  return level;
}

void Leave(int level) {
  AtEOXact_GUC(true, level);
  SPI_finish();
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

// A function's row type, made once per server process: the same on every
// call.
TupleDesc RowShape(FunctionCallInfo fcinfo, TupleDesc& made) {
  if (made) return made;
  MemoryContext before = MemoryContextSwitchTo(TopMemoryContext);
  TupleDesc shape;
  if (get_call_result_type(fcinfo, nullptr, &shape) != TYPEFUNC_COMPOSITE)
    ereport(ERROR, (errcode(ERRCODE_FEATURE_NOT_SUPPORTED),
                    errmsg("the search function is called where no row type is known")));
  made = BlessTupleDesc(shape);
  MemoryContextSwitchTo(before);
  return made;
}

// First call of either function: the call's state, kept in the multi-call
// memory and deleted with it.
SearchCall* StartCall(FunctionCallInfo fcinfo, FuncCallContext* funcctx, TupleDesc shape) {
  funcctx->tuple_desc = shape;
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
  call->path = PathOf(fcinfo);
  call->shape = shape;
  call->rows_memory =
      AllocSetContextCreate(funcctx->multi_call_memory_ctx, "search rows", ALLOCSET_DEFAULT_SIZES);
  MemoryContextSwitchTo(before);
  return call;
}

// Plans the call's search; connected to SPI.
void PlanCall(FunctionCallInfo fcinfo, SearchCall& call) {
  CaughtError error;
  if (!PlanSearchCall(call, TextArgument(fcinfo, 0), CriteriaArgument(fcinfo, 1), error))
    Raise(error);
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
// left. Connected to SPI.
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
// of SPI's memory; false when every statement is read. Connected to SPI.
bool FetchRows(SearchCall& call) {
  MemoryContextReset(call.rows_memory);
  call.fetched = call.returned = 0;
  while (call.fetched == 0 && call.still_wanted != 0) {
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
        static_cast<Datum*>(MemoryContextAlloc(call.rows_memory, sizeof(Datum) * call.fetched));
    MemoryContext connected = MemoryContextSwitchTo(call.rows_memory);
    for (uint64 r = 0; r < call.fetched; ++r)
      call.rows[r] = heap_copy_tuple_as_datum(SPI_tuptable->vals[r], call.shape);
    MemoryContextSwitchTo(connected);
    SPI_freetuptable(SPI_tuptable);
  }
  return call.fetched > 0;
}

// A row of text values (NULL for a null) and, last, a number.
Datum TextRow(FuncCallContext* funcctx, const char* const* texts, int text_count,
              std::optional<int32_t> number) {
  Datum values[3];
  bool nulls[3];
  for (int i = 0; i < text_count; ++i) {
    nulls[i] = texts[i] == nullptr;
    values[i] = nulls[i] ? Datum(0) : CStringGetTextDatum(texts[i]);
  }
  nulls[text_count] = !number;
  values[text_count] = number ? Int32GetDatum(*number) : Datum(0);
  return HeapTupleGetDatum(heap_form_tuple(funcctx->tuple_desc, values, nulls));
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
  static TupleDesc shape = nullptr;
  FuncCallContext* funcctx;
  ReturnSetInfo* rsinfo = reinterpret_cast<ReturnSetInfo*>(fcinfo->resultinfo);
  if (SRF_IS_FIRSTCALL()) {
    if (!PG_ARGISNULL(2) && PG_GETARG_INT32(2) < 0)
      ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                      errmsg("The most rows wanted, %d, is not a number of rows: give 0 or more, "
                             "or NULL for all rows.",
                             PG_GETARG_INT32(2))));
    funcctx = SRF_FIRSTCALL_INIT();
    SearchCall* call = StartCall(fcinfo, funcctx, RowShape(fcinfo, shape));
    call->still_wanted = PG_ARGISNULL(2) ? -1 : PG_GETARG_INT32(2);
    if (rsinfo && IsA(rsinfo, ReturnSetInfo))
      RegisterExprContextCallback(rsinfo->econtext, CloseCursorEarly, PointerGetDatum(call));
    // Planned, and the first row fetched, on one connection.
    const int level = Enter(*call);
    PlanCall(fcinfo, *call);
    if (call->planned) FetchRows(*call);
    Leave(level);
  }
  funcctx = SRF_PERCALL_SETUP();
  SearchCall& call = *static_cast<SearchCall*>(funcctx->user_fctx);
  if (!call.planned && !call.message_sent && call.still_wanted != 0) {
    call.message_sent = true;
    const char* texts[2] = {corvanty::kInvalidGuidesMessage, nullptr};
    SRF_RETURN_NEXT(funcctx, TextRow(funcctx, texts, 2, std::nullopt));
  }
  if (call.planned && call.returned == call.fetched && call.still_wanted != 0) {
    const int level = Enter(call);
    FetchRows(call);
    Leave(level);
  }
  if (call.returned < call.fetched) {
    // Kept until the next fetch, after the caller is done with this row.
    const Datum row = call.rows[call.returned++];
    if (call.still_wanted > 0) --call.still_wanted;
    SRF_RETURN_NEXT(funcctx, row);
  }
  CloseCursor(call);
  if (rsinfo && IsA(rsinfo, ReturnSetInfo))
    UnregisterExprContextCallback(rsinfo->econtext, CloseCursorEarly, PointerGetDatum(&call));
  SRF_RETURN_DONE(funcctx);
}

// velmorastine_search_sql(dsgstring, searchcriteria): the statement the
// search runs for each listed guide that has column rows, in guide order.
Datum velmorastine_search_sql(PG_FUNCTION_ARGS) {
  static TupleDesc shape = nullptr;
  FuncCallContext* funcctx;
  if (SRF_IS_FIRSTCALL()) {
    funcctx = SRF_FIRSTCALL_INIT();
    SearchCall* call = StartCall(fcinfo, funcctx, RowShape(fcinfo, shape));
    const int level = Enter(*call);
    PlanCall(fcinfo, *call);
    Leave(level);
  }
  funcctx = SRF_PERCALL_SETUP();
  SearchCall& call = *static_cast<SearchCall*>(funcctx->user_fctx);
  if (call.next == StatementCount(call)) SRF_RETURN_DONE(funcctx);
  const size_t which = call.next++;
  const char* texts[1] = {StatementText(call, which)};
  SRF_RETURN_NEXT(funcctx, TextRow(funcctx, texts, 1, StatementGuide(call, which)));
}
