// SPDX-License-Identifier: Apache-2.0
#pragma once
// The tables editor's FROM text as a list of tables: the text the editor
// keeps in its FROM box ("Customers, Orders"), read back from a stored
// FROM clause, and edited as tables are added and removed.
#include <string>
#include <vector>

namespace corvanty {

// The stored clause as a comma-bracketed list, blanks around the commas
// taken out: "FROM Customers, Orders" gives ",Customers,Orders,".
std::string CommaBracketedTables(std::string from_clause);

// True when the comma-bracketed list names the table as a whole item.
bool ListNamesTable(const std::string& bracketed, const std::string& table);

// The items of a comma-bracketed list in order: ",A,B," gives A and B.
std::vector<std::string> TablesOfList(const std::string& bracketed);

// The FROM text with the table added at the end, after ", " unless empty.
std::string FromTextWithTable(const std::string& from_text, const std::string& table);

// The FROM text without the first comma-separated item whose first word is
// the table's name; every other item stays as typed, and the new first item
// loses the blanks before it. Unchanged when no item names the table.
std::string FromTextWithoutTable(const std::string& from_text, const std::string& table);

}  // namespace corvanty
