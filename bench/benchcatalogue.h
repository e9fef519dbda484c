// SPDX-License-Identifier: Apache-2.0
#pragma once
// A large catalogue for timing the guide editors: the guide tables and
// 2,000 tables of 10 columns each, with guide 1 naming every table in its
// FROM clause and holding a setting on the first column of each.
#include <string>
#include <vector>

namespace corvanty::bench {

constexpr int kCatalogueTables = 2000;
constexpr int kCatalogueColumnsPerTable = 10;

// The catalogue's tables in the order they are made: tbl0001, tbl0002, ...
std::vector<std::string> CatalogueTables();

// Creates the catalogue database in file. Throws std::runtime_error.
void CreateCatalogueDatabase(const std::string& file);

}  // namespace corvanty::bench
