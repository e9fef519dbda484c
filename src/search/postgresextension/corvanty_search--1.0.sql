-- SPDX-License-Identifier: Apache-2.0
-- The search service, created by CREATE EXTENSION corvanty_search SCHEMA s in
-- the schema s that holds the guide tables. Every name the script uses is
-- written with its schema and every type is pg_catalog's: the script may
-- run with a superuser's rights (the extension is trusted) in a schema
-- others can create objects in, so nothing they create there is used.

\echo Use "CREATE EXTENSION corvanty_search" to load this file. \quit

-- The rows of a search, read from a cursor one batch at a time as the
-- caller asks for them, so that a caller wanting few reads few; runs with
-- the caller's rights.
CREATE FUNCTION @extschema@.velmorastine_search_rows(
    dsgstring pg_catalog.text, searchcriteria pg_catalog.text, most_rows pg_catalog.int4,
    OUT resultlist pg_catalog.text, OUT idcolumn pg_catalog.text, OUT dsg_id pg_catalog.int4)
RETURNS SETOF record
AS 'MODULE_PATHNAME', 'velmorastine_search_rows'
LANGUAGE c VOLATILE CALLED ON NULL INPUT SECURITY INVOKER;

-- The search: the rows of each listed guide's statement, guide after guide,
-- no more than most_rows in all when it is given. A SQL function the
-- server writes into the calling query, so that the rows stream from the
-- cursor: a LIMIT stops the search after the rows it takes.
CREATE FUNCTION @extschema@.velmorastine_search(
    dsgstring pg_catalog.text, searchcriteria pg_catalog.text,
    most_rows pg_catalog.int4 DEFAULT NULL)
RETURNS TABLE (resultlist pg_catalog.text, idcolumn pg_catalog.text, dsg_id pg_catalog.int4)
LANGUAGE sql STABLE SECURITY INVOKER
AS $f$
SELECT (s.r).resultlist, (s.r).idcolumn, (s.r).dsg_id
FROM (SELECT @extschema@.velmorastine_search_rows(dsgstring, searchcriteria, most_rows) AS r) AS s
$f$;

-- The statement the search runs for each listed guide that has column rows,
-- in ascending guide order.
CREATE FUNCTION @extschema@.velmorastine_search_sql(
    dsgstring pg_catalog.text, searchcriteria pg_catalog.text)
RETURNS TABLE (sql pg_catalog.text, dsg_id pg_catalog.int4)
AS 'MODULE_PATHNAME', 'velmorastine_search_sql'
LANGUAGE c STABLE CALLED ON NULL INPUT SECURITY INVOKER;
