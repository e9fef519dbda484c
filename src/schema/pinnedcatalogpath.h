// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tool's own statements about a PostgreSQL database (installing the
// search service, reading and guarding who may change the guides) run in a
// transaction whose search path is pg_catalog and pg_temp only: no operator,
// function or type that another role creates in a schema of the user's
// search path can then be chosen for one of them, however its arguments are
// typed. What the user's path names is read before it is pinned.
#include <string>

#include "connections/rdo.h"

namespace corvanty {

class PinnedCatalogPath {
 public:
  // Begins the transaction on the connection, reads its place, pins the path.
  explicit PinnedCatalogPath(rdo::rdoConnection& connection);

  // The connection's current schema as a string literal ('shop'); throws
  // DatabaseError when its search path names no schema that exists.
  const std::string& SchemaLiteral() const { return schema_literal_; }
  // The same as an identifier ("Shop" quoted where it must be).
  const std::string& SchemaIdentifier() const { return schema_identifier_; }
  // The schemas of its search path that exist, as identifiers separated by
  // commas, pg_catalog and temporary schemas left out.
  const std::string& SearchedSchemas() const { return searched_schemas_; }
  // The same, as the elements of a text array literal ('{shop,public}').
  const std::string& SearchedSchemasArray() const { return searched_array_; }

  void Commit() { transaction_.Commit(); }

 private:
  rdo::Transaction transaction_;
  std::string schema_literal_, schema_identifier_, searched_schemas_, searched_array_;
};

}  // namespace corvanty
