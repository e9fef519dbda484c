-- A small shop and the guides over it, run after the guide tables are built.
-- Customer 2 has no name and customer 4 no city: their result texts show what
-- a NULL value contributes. Customer 5's name is longer than the 200
-- characters a result text keeps. -9223372036854775808 has no absolute value
-- in 64 bits, so the overflow guide's conversion fails on that row.
CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT, city TEXT);
CREATE TABLE orders (id INTEGER PRIMARY KEY, customer_id INTEGER, item TEXT);
-- Orders are found by customer through an index of their own, as a guide
-- joining the two may read them.
CREATE INDEX orders_by_customer ON orders (customer_id);
CREATE TABLE numbers (id INTEGER PRIMARY KEY, big BIGINT, label TEXT);
INSERT INTO customers VALUES (1, 'Ann Lee', 'Paris'), (2, NULL, 'Oslo'),
  (3, 'Carla O''Hara', 'Lyon'), (4, 'Dan Borg', NULL), (5, 'nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn', NULL);
INSERT INTO orders VALUES (10, 3, 'red car'), (11, 1, 'blue bike'), (12, 3, 'green van');
INSERT INTO numbers VALUES (1, 5, 'n'), (2, -9223372036854775808, 'n'), (3, 7, 'n');

-- The column rows are stored last to first, in a table without key or index
-- to read them through (its columns and defaults as before): the search must
-- put them in sequence order itself.
DROP TABLE Db_Search_Guide_Cols;
CREATE TABLE Db_Search_Guide_Cols (DSG_ID int NOT NULL, DSG_column_seq_no int NOT NULL,
  Column_qualifier varchar(50) NOT NULL, Column_name varchar(50) NOT NULL,
  Column_data_type varchar(50) NOT NULL DEFAULT '(none)',
  Show_in_list int NOT NULL DEFAULT -1, Is_search_column int NOT NULL DEFAULT -1,
  List_column_separator varchar(50) NOT NULL DEFAULT ('+ '' '' +'),
  Conv_required int NOT NULL DEFAULT 0,
  Conversion_expression varchar(255) NOT NULL DEFAULT '(none)',
  Is_key_column int NOT NULL DEFAULT 0);

INSERT INTO Db_Search_Guides (DSG_ID, DSG_name) VALUES (1, 'Customers'),
  (2, 'Orders by customer''s name'), (3, 'Items'), (4, 'Broken'), (5, 'No tables'),
  (6, 'Nothing shown'), (7, 'Overflow');
INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES
  (1, 'FROM customers c', 'WHERE '),
  (2, 'FROM customers c, orders o', 'WHERE c.id = o.customer_id'),
  (3, 'FROM orders o', NULL),
  (4, 'FROM no_such_table t', NULL),
  (6, 'FROM customers c', NULL),
  (7, 'FROM numbers n', NULL);
INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,
  Show_in_list, Is_search_column, List_column_separator, Conv_required,
  Conversion_expression, Is_key_column) VALUES
  (7, 3, 'n', 'label', 0, -1, '+ '' '' +', 0, '(none)', 0),
  (7, 2, 'n', 'big', -1, 0, '+ '' '' +', -1, 'CONVERT(varchar, abs(n.big))', 0),
  (7, 1, 'n', 'id', 0, 0, '+ '' '' +', 0, '(none)', -1),
  (6, 1, 'c', 'id', 0, -1, '+ '' '' +', 0, '(none)', -1),
  (5, 1, 'c', 'name', -1, -1, '+ '' '' +', 0, '(none)', 0),
  (4, 1, 't', 'x', -1, -1, '+ '' '' +', 0, '(none)', 0),
  (3, 1, 'o', 'item', -1, -1, '+ '' '' +', 0, '(none)', 0),
  (2, 3, 'c', 'name', -1, -1, '+ '' '' +', 0, '(none)', 0),
  (2, 2, 'o', 'item', -1, -1, '+'' for ''+', 0, '(none)', 0),
  (2, 1, 'o', 'id', 0, 0, '+ '' '' +', 0, '(none)', -1),
  (1, 3, 'c', 'city', -1, -1, '+ '' '' +', 0, '(none)', 0),
  (1, 2, 'c', 'name', -1, -1, '+'', ''+', 0, '(none)', 0),
  (1, 1, 'c', 'id', 0, 0, '+ '' '' +', 0, '(none)', -1);
