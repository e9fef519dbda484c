// SPDX-License-Identifier: Apache-2.0
#include "bench/benchserviceforms.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

#include "bench/benchsearch.h"
#include "connections/rdo.h"
#include "index/trigramindex.h"
#include "schema/pinnedcatalogpath.h"
#include "schema/postgresserviceinstaller.h"
#include "search/searchengine.h"
#include "statements/sqlliteral.h"

namespace corvanty::bench {
namespace {

enum class Form { PlPgsql, Extension };

const char* FormName(Form form) { return form == Form::PlPgsql ? "PL/pgSQL" : "extension"; }

long Count(rdo::rdoConnection& connection, const std::string& sql) {
  rdo::ForwardReader reader = connection.OpenForwardOnly(sql);
  return reader.Fetch() ? std::stol(reader.Value(0).value_or("0")) : 0;
}

void Install(rdo::rdoConnection& connection, Form form) {
  connection.Execute("DEALLOCATE ALL");
  connection.Execute("DROP EXTENSION IF EXISTS corvanty_search");
  PinnedCatalogPath pinned(connection);
  DropPlPgsqlService(connection, pinned.SchemaLiteral());
  if (form == Form::Extension)
    connection.Execute("CREATE EXTENSION corvanty_search SCHEMA " + pinned.SchemaIdentifier());
  else
    InstallPlPgsqlService(connection, pinned);
  pinned.Commit();
}

long ReadAll(rdo::rdoConnection& connection, const std::string& sql) {
  long rows = 0;
  for (rdo::ForwardReader reader = connection.OpenForwardOnly(sql); reader.Fetch(); ++rows)
    for (size_t column = 0; column < 3; ++column) reader.Value(column);
  return rows;
}

// The temporary file blocks the statement writes, as EXPLAIN ANALYZE counts
// them (the functions' own statements included).
long TempBlocksWritten(rdo::rdoConnection& connection, const std::string& sql) {
  rdo::ForwardReader plan =
      connection.OpenForwardOnly("EXPLAIN (ANALYZE, BUFFERS, FORMAT JSON) " + sql);
  const std::string text = plan.Fetch() ? plan.Value(0).value_or("") : "";
  const std::string key = "\"Temp Written Blocks\": ";
  const size_t at = text.find(key);
  return at == std::string::npos ? 0 : std::stol(text.substr(at + key.size()));
}

struct Row {
  std::string label;
  long rows = 0;
  double client_ms = 0, service_ms = 0, target = 0;
  std::string note;
};

// The client's and the service's statements run in turns, runs times each.
Row Alternate(rdo::rdoConnection& connection, const std::string& label, const std::string& client,
              const std::string& service, int runs, double target) {
  Row row;
  row.label = label;
  row.rows = ReadAll(connection, client);
  if (ReadAll(connection, service) != row.rows)
    throw std::runtime_error("the service and the statement disagree: " + label);
  std::vector<double> clients, services;
  for (int run = 0; run < runs; ++run) {
    clients.push_back(Microseconds([&] { ReadAll(connection, client); }));
    services.push_back(Microseconds([&] { ReadAll(connection, service); }));
  }
  row.client_ms = Median(clients) / 1000;
  row.service_ms = Median(services) / 1000;
  row.target = target;
  return row;
}

// Calls per second of eight clients, each on a connection of its own,
// running the statement prepared as `prepare` names it.
double CallsPerSecond(const std::string& connect, const std::string& prepare, double seconds) {
  constexpr int kClients = 8;
  std::atomic<long> calls{0};
  std::atomic<bool> failed{false};
  std::vector<std::thread> clients;
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (int i = 0; i < kClients; ++i)
    clients.emplace_back([&] {
      try {
        rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
        connection.Execute("PREPARE bench_call AS " + prepare);
        long made = 0;
        for (; std::chrono::steady_clock::now() < until; ++made)
          ReadAll(connection, "EXECUTE bench_call");
        calls += made;
      } catch (const std::exception& error) {
        std::fprintf(stderr, "a client failed: %s\n", error.what());
        failed = true;
      }
    });
  for (std::thread& client : clients) client.join();
  if (failed) throw std::runtime_error("the eight clients did not all run");
  return calls / seconds;
}

void Print(const Row& row, Form form) {
  const double ratio = row.service_ms / row.client_ms;
  std::printf("  %-30s %-9s %7ld %10.3f %11.3f %7.2f %7.2f%s%s\n", row.label.c_str(),
              FormName(form), row.rows, row.client_ms, row.service_ms, ratio, row.target,
              ratio <= row.target ? "" : "  MISSED", row.note.c_str());
}

}  // namespace

void ReportServiceForms(const std::string& connect, const ServiceFormsCase& c) {
  rdo::rdoConnection connection = rdo::rdoConnection::Open(connect);
  const bool extension_before =
      Count(connection, "SELECT count(*) FROM pg_extension WHERE extname = 'corvanty_search'") > 0;
  std::vector<Form> forms = {Form::PlPgsql};
  if (Count(connection,
            "SELECT count(*) FROM pg_available_extensions WHERE name = 'corvanty_search'") > 0)
    forms.push_back(Form::Extension);
  for (int32_t guide : {c.guide, c.wide_guide})
    if (TrigramIndexNames(connection, guide).empty()) BuildTrigramIndex(connection, guide);
  const auto arguments = [](int32_t guide, const std::string& criteria) {
    return "('" + std::to_string(guide) + "', '" + QuoteApostrophes(criteria) + "')";
  };
  const std::string selective =
      PlanSearch(connection, {c.guide}, SearchCriteria(c.selective)).statements.at(0).SQL;
  const std::string wide =
      PlanSearch(connection, {c.wide_guide}, SearchCriteria(c.wide)).statements.at(0).SQL;
  const std::string selective_call =
      "SELECT * FROM velmorastine_search" + arguments(c.guide, c.selective);
  const std::string wide_call =
      "SELECT * FROM velmorastine_search" + arguments(c.wide_guide, c.wide);
  // The selective search's guide searched as widely: its first 20 rows.
  const std::string first_wide =
      PlanSearch(connection, {c.guide}, SearchCriteria(c.wide)).statements.at(0).SQL;
  const std::string first_wide_call =
      "SELECT * FROM velmorastine_search" + arguments(c.guide, c.wide);

  std::printf(
      "\nPostgreSQL's search service in its two forms against the client's own statement: "
      "medians of %d runs\nin turns over one connection; guides %d (\"%s\") and %d (\"%s\") "
      "with their trigram indexes\n",
      c.runs, c.guide, c.selective.c_str(), c.wide_guide, c.wide.c_str());
  std::printf("  %-30s %-9s %7s %10s %11s %7s %7s\n", "case", "form", "rows", "client ms",
              "service ms", "ratio", "target");
  for (Form form : forms) {
    Install(connection, form);
    Print(Alternate(connection, "selective", selective, selective_call, c.runs, 1.1), form);
    connection.Execute("PREPARE bench_client AS " + selective);
    connection.Execute("PREPARE bench_service AS " + selective_call);
    Print(Alternate(connection, "selective, prepared, repeated", "EXECUTE bench_client",
                    "EXECUTE bench_service", c.runs, 1.3),
          form);
    for (const auto& [label, client, service] :
         {std::tuple{"guide " + std::to_string(c.guide) + ", wide, LIMIT 20", first_wide,
                     first_wide_call},
          std::tuple{std::string("wide, LIMIT 20"), wide, wide_call}}) {
      Row limited =
          Alternate(connection, label, client + " LIMIT 20", service + " LIMIT 20", c.runs, 2);
      limited.note = "  temporary blocks written: client " +
                     std::to_string(TempBlocksWritten(connection, client + " LIMIT 20")) +
                     ", service " +
                     std::to_string(TempBlocksWritten(connection, service + " LIMIT 20"));
      Print(limited, form);
    }
    Print(Alternate(connection, "wide, every row", wide, wide_call, c.runs, 1.1), form);
    const double client_calls = CallsPerSecond(connect, selective, c.clients_seconds);
    const double service_calls = CallsPerSecond(connect, selective_call, c.clients_seconds);
    const double share = service_calls / client_calls;
    std::printf(
        "  %-30s %-9s calls/s: client %.0f, service %.0f, %.2f of the client's "
        "(target at least 0.70)%s\n",
        "8 clients, selective, prepared", FormName(form), client_calls, service_calls, share,
        share >= 0.7 ? "" : "  MISSED");
  }
  Install(connection, extension_before ? Form::Extension : Form::PlPgsql);
}

}  // namespace corvanty::bench
