-- SPDX-License-Identifier: Apache-2.0
-- The search service the tool installs into a PostgreSQL database: the
-- PL/pgSQL function velmorastine_search(dsgstring, searchcriteria[, most_rows])
-- and the helper functions it calls, each created after the functions it calls.
--
-- The tool installs these statements as they stand here, one at a time in
-- one transaction, with three names put in their places:
--   corvanty_service_schema     the schema installed in, as an identifier
--   'corvanty_service_schema'   the same as a string literal
--   corvanty_searched_schemas   the schemas the guides' statements run
--                               under, as the tool's search path had them
-- and then marks velmorastine_search with its version in a COMMENT.
--
-- As it stands the file installs the service into a schema of that name,
-- so that it can be read, run and checked on its own:
--   CREATE SCHEMA corvanty_service_schema;  -- with the guide tables in it
--   psql -v ON_ERROR_STOP=1 -1 -f src/schema/postgressearchservice.sql
--   SELECT * FROM plpgsql_check_function('corvanty_service_schema.velmorastine_search_sql(text, text)');

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_span_end(c text[], at integer)
RETURNS integer LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- Where the quoted span starting at character at ends (one past its closing
-- quote, or past the end when none closes it); at itself when none starts
-- there. A doubled quote stands for one quote inside the span.
DECLARE
  n integer := coalesce(array_length(c, 1), 0);
  closing text;
  i integer;
BEGIN
  IF c[at] NOT IN ('''', '"', '[') THEN
    RETURN at;
  END IF;
  closing := CASE c[at] WHEN '[' THEN ']' ELSE c[at] END;
  i := at + 1;
  WHILE i <= n LOOP
    IF c[i] = closing THEN
      IF i < n AND c[i + 1] = closing THEN
        i := i + 2;
        CONTINUE;
      END IF;
      RETURN i + 1;
    END IF;
    i := i + 1;
  END LOOP;
  RETURN n + 1;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_unquoted(t text)
RETURNS text LANGUAGE sql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- The text with each quoted span (apostrophes, double quotes, brackets)
-- replaced by a blank: what is left is read as SQL.
SELECT regexp_replace(t, $r$'(?:[^']|'')*(?:'|$)|"(?:[^"]|"")*(?:"|$)|\[(?:[^]]|]])*(?:]|$)$r$, ' ', 'g')
$f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_next_at_top(c text[], at integer, stops text)
RETURNS integer LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- The position of the first of the characters stops from character at on,
-- outside quoted spans and on the level of parentheses it starts on (a ) of
-- stops closes that level); 0 when the text ends first.
DECLARE
  n integer := coalesce(array_length(c, 1), 0);
  depth integer := 0;
  i integer := at;
  span_end integer;
BEGIN
  WHILE i <= n LOOP
    span_end := corvanty_service_schema.velmorastine_search_span_end(c, i);
    IF span_end <> i THEN
      i := span_end;
      CONTINUE;
    END IF;
    IF depth = 0 AND strpos(stops, c[i]) > 0 THEN
      RETURN i;
    END IF;
    IF c[i] = '(' THEN
      depth := depth + 1;
    ELSIF c[i] = ')' THEN
      depth := depth - 1;
    END IF;
    i := i + 1;
  END LOOP;
  RETURN 0;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_translate(t text)
RETURNS text LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- Each CONVERT(varchar[(N)], x[, style]) of the stored T-SQL text as
-- PostgreSQL writes it: x made text and cut to N characters (30 without a
-- length), a date style as to_char writes it. A style without translation
-- raises SQLSTATE CV001 naming the conversion as stored.
DECLARE
  c text[];
  n integer;
  i integer := 1;
  span_end integer;
  head text[];
  rest text;
  p integer;
  arg_end integer;
  inner_text text;
  cut integer;
  style text[];
  date_format text;
  result text := '';
BEGIN
  IF position('convert' IN lower(t)) = 0 THEN
    RETURN t;
  END IF;
  c := string_to_array(t, NULL);
  n := coalesce(array_length(c, 1), 0);
  WHILE i <= n LOOP
    span_end := corvanty_service_schema.velmorastine_search_span_end(c, i);
    IF span_end <> i THEN
      result := result || array_to_string(c[i:span_end - 1], '');
      i := span_end;
      CONTINUE;
    END IF;
    head := NULL;
    IF c[i] ~ '^[A-Za-z0-9_@#$]$' AND (i = 1 OR c[i - 1] !~ '^[A-Za-z0-9_@#$]$') THEN
      rest := array_to_string(c[i:n], '');
      head := regexp_match(rest, $r$^((?:[Cc][Oo][Nn][Vv][Ee][Rr][Tt])(?![A-Za-z0-9_@#$])[ \t\n\r\f\v]*\([ \t\n\r\f\v]*$r$
                                 || $r$(?:[Vv][Aa][Rr][Cc][Hh][Aa][Rr])(?![A-Za-z0-9_@#$])[ \t\n\r\f\v]*$r$
                                 || $r$(?:\([ \t\n\r\f\v]*([0-9]{1,6})[ \t\n\r\f\v]*\)[ \t\n\r\f\v]*)?,)$r$);
    END IF;
    IF head IS NOT NULL THEN
      p := i + char_length(head[1]);
      arg_end := corvanty_service_schema.velmorastine_search_next_at_top(c, p, ',)');
      IF arg_end = 0 THEN
        head := NULL;
      END IF;
    END IF;
    IF head IS NULL THEN
      result := result || c[i];
      i := i + 1;
      CONTINUE;
    END IF;
    -- The argument may hold conversions of its own.
    inner_text := corvanty_service_schema.velmorastine_search_translate(btrim(array_to_string(c[p:arg_end - 1], ''), ' '));
    cut := coalesce(CAST(head[2] AS integer), 30);
    IF c[arg_end] = ')' THEN
      result := result || 'substr(CAST(' || inner_text || ' AS text), 1, ' || CAST(cut AS text) || ')';
      i := arg_end + 1;
      CONTINUE;
    END IF;
    rest := array_to_string(c[arg_end + 1:n], '');
    style := regexp_match(rest, $r$^([ \t\n\r\f\v]*([0-9]{1,6})[ \t\n\r\f\v]*)\)$r$);
    date_format := CASE CAST(style[2] AS integer)
                     WHEN 101 THEN 'MM/DD/YYYY' WHEN 103 THEN 'DD/MM/YYYY' WHEN 112 THEN 'YYYYMMDD'
                     WHEN 120 THEN 'YYYY-MM-DD HH24:MI:SS' WHEN 121 THEN 'YYYY-MM-DD HH24:MI:SS.MS' END;
    IF date_format IS NULL THEN
      -- Named whole: up to the parenthesis that closes it.
      p := arg_end;
      WHILE p <> 0 AND c[p] = ',' LOOP
        p := corvanty_service_schema.velmorastine_search_next_at_top(c, p + 1, ',)');
      END LOOP;
      RAISE EXCEPTION USING ERRCODE = 'CV001',
        MESSAGE = array_to_string(c[i:CASE WHEN p = 0 THEN n ELSE p END], '');
    END IF;
    result := result || 'substr(to_char(CAST(' || inner_text || ' AS timestamp), ''' || date_format || '''), 1, ' || CAST(cut AS text) || ')';
    i := arg_end + char_length(style[1]) + 2;
  END LOOP;
  RETURN result;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_value(stored text)
RETURNS text LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- A column's value expression in PostgreSQL: its conversions translated,
-- and a + between its top-level pieces made || with each piece's NULL read
-- as empty text.
DECLARE
  t text := corvanty_service_schema.velmorastine_search_translate(stored);
  c text[];
  start integer := 1;
  split integer;
  pieces text[] := '{}';
  piece text;
  joined text := '';
BEGIN
  IF position('+' IN t) = 0 THEN
    RETURN t;
  END IF;
  c := string_to_array(t, NULL);
  LOOP
    split := corvanty_service_schema.velmorastine_search_next_at_top(c, start, '+');
    EXIT WHEN split = 0;
    pieces := pieces || coalesce(array_to_string(c[start:split - 1], ''), '');
    start := split + 1;
  END LOOP;
  IF cardinality(pieces) = 0 THEN
    RETURN t;
  END IF;
  pieces := pieces || coalesce(array_to_string(c[start:cardinality(c)], ''), '');
  FOREACH piece IN ARRAY pieces LOOP
    piece := btrim(piece, ' ');
    IF piece = '' THEN
      RETURN t;  -- a sign, not a join
    END IF;
    joined := joined || CASE WHEN joined = '' THEN '' ELSE '||' END || 'coalesce(CAST(' || piece || ' AS text), '''')';
  END LOOP;
  RETURN joined;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_separator(stored text)
RETURNS text LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- A separator fragment in PostgreSQL: its conversions translated, each +
-- outside quoted spans made ||. Between apostrophes alone the text is
-- outside and inside them in turn (a doubled one closes a span and opens
-- the next), so that case needs no walk through the characters.
DECLARE
  t text := CASE WHEN position('convert' IN lower(stored)) = 0 THEN stored
                 ELSE corvanty_service_schema.velmorastine_search_translate(stored) END;
  parts text[];
BEGIN
  IF strpos(t, '"') = 0 AND strpos(t, '[') = 0 THEN
    parts := string_to_array(t, '''');
    FOR k IN 1 .. coalesce(cardinality(parts), 0) BY 2 LOOP
      parts[k] := replace(parts[k], '+', '||');
    END LOOP;
    RETURN array_to_string(parts, '''');
  END IF;
  RETURN (SELECT coalesce(string_agg(CASE WHEN left(piece[1], 1) IN ('''', '"', '[') THEN piece[1]
                                          ELSE replace(piece[1], '+', '||') END, '' ORDER BY n), '')
          FROM regexp_matches(t, $r$'(?:[^']|'')*(?:'|$)|"(?:[^"]|"")*(?:"|$)|\[(?:[^]]|]])*(?:]|$)|[^'"[]+$r$, 'g')
               WITH ORDINALITY AS found (piece, n));
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_phrases(criteria text)
RETURNS text[] LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- The double-quoted phrases of the criteria as the search procedure reads
-- them, each after what joins it to the one before ('' for the first, AND,
-- OR): {'', phrase, 'AND', phrase, ...}; empty when the criteria as they
-- stand are the pattern. An opening quote without a closing one takes the
-- rest of the text; a rest without a quote holds no further phrase.
DECLARE
  rest text := criteria;
  skip integer := strpos(criteria, '"');
  phrases text[];
  joiner text;
BEGIN
  IF skip = 0 THEN
    RETURN '{}';
  END IF;
  phrases := ARRAY['', ltrim(split_part(substr(rest, skip + 1), '"', 1), ' ')];
  LOOP
    rest := btrim(substr(rest, skip + 1), ' ');
    EXIT WHEN strpos(rest, '"') = 0;
    -- Past the quote that closes the phrase just taken.
    skip := strpos(rest, '"');
    rest := btrim(substr(rest, skip + 1), ' ');
    -- Any word beginning with AND counts; OR only with a blank after it.
    joiner := rtrim(translate(left(rest, 3), 'abcdefghijklmnopqrstuvwxyz', 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'), ' ');
    -- Without one, the next round drops as many characters again.
    CONTINUE WHEN joiner NOT IN ('AND', 'OR');
    skip := strpos(rest, '"');
    IF skip > 0 THEN
      phrases := phrases || ARRAY[joiner, split_part(substr(rest, skip + 1), '"', 1)];
    END IF;
  END LOOP;
  phrases[cardinality(phrases)] := rtrim(phrases[cardinality(phrases)], ' ');
  IF cardinality(phrases) = 2 AND char_length(phrases[2]) <= 1 THEN
    RETURN '{}';
  END IF;
  RETURN phrases;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_guide_list(dsgstring text)
RETURNS integer[] LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- The guide numbers of the comma-separated list; anything but whole numbers
-- is refused, naming what was given.
DECLARE
  item text;
  ids integer[] := '{}';
BEGIN
  IF dsgstring IS NULL OR dsgstring !~ $r$^[ \t]*-?[0-9]+[ \t]*(,[ \t]*-?[0-9]+[ \t]*)*$$r$ THEN
    RAISE EXCEPTION USING ERRCODE = '22023', MESSAGE = format(
      'The Database Search Guide list %s is not guide numbers separated by commas.',
      coalesce(quote_literal(dsgstring), 'NULL'));
  END IF;
  FOREACH item IN ARRAY string_to_array(dsgstring, ',') LOOP
    item := btrim(item, E' \t');
    IF CAST(item AS numeric) NOT BETWEEN -2147483648 AND 2147483647 THEN
      RAISE EXCEPTION USING ERRCODE = '22003', MESSAGE = format(
        'The Database Search Guide list %s holds %s, which is no guide number.',
        quote_literal(dsgstring), item);
    END IF;
    ids := ids || CAST(item AS integer);
  END LOOP;
  RETURN ids;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_cut_off(t text, OUT mark text, OUT open_quote boolean)
LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- The first comment mark (-- or /*) or ; outside quoted text as PostgreSQL
-- reads quotes ('…', E'…' with backslash escapes, "…", $$…$$ and
-- $tag$…$tag$), or, with open_quote, the opening of a quote the text does
-- not close: either would cut off or take in what is joined after the
-- text. Both NULL when there is none.
DECLARE
  c text[];
  n integer;
  i integer := 1;
  j integer;
  closing text;
  tag text;
  rest text;
BEGIN
  IF strpos(t, '$') = 0 AND t !~ '[Ee]''' THEN
    -- Without dollar quotes and E'' strings, the closed quotes removed, the
    -- first mark or quote left is the answer.
    mark := substring(regexp_replace(t, $r$'(?:[^']|'')*'|"(?:[^"]|"")*"$r$, ' ', 'g') FROM $r$;|--|/\*|'|"$r$);
    open_quote := CASE WHEN mark IS NULL THEN NULL ELSE mark IN ('''', '"') END;
    RETURN;
  END IF;
  c := string_to_array(t, NULL);
  n := coalesce(array_length(c, 1), 0);
  WHILE i <= n LOOP
    tag := NULL;
    closing := NULL;
    IF c[i] IN ('''', '"') THEN
      tag := c[i];
      closing := c[i];
    ELSIF c[i] IN ('E', 'e') AND i < n AND c[i + 1] = '''' AND (i = 1 OR c[i - 1] !~ '^[A-Za-z0-9_$]$' AND ascii(c[i - 1]) < 128) THEN
      tag := c[i] || '''';
      closing := '''';
    ELSIF c[i] = '$' AND (i = 1 OR c[i - 1] !~ '^[A-Za-z0-9_$]$' AND ascii(c[i - 1]) < 128) THEN
      rest := array_to_string(c[i:n], '');
      tag := substring(rest FROM $r$^\$(?:(?:[A-Za-z_]|[^\x01-\x7f])(?:[A-Za-z0-9_]|[^\x01-\x7f])*)?\$$r$);
    END IF;
    IF tag IS NULL THEN
      IF c[i] = ';' OR c[i] = '-' AND c[i + 1] = '-' OR c[i] = '/' AND c[i + 1] = '*' THEN
        mark := CASE c[i] WHEN ';' THEN ';' ELSE c[i] || c[i + 1] END;
        open_quote := false;
        RETURN;
      END IF;
      i := i + 1;
      CONTINUE;
    END IF;
    IF closing IS NULL THEN
      -- A dollar quote ends where its tag comes again.
      j := strpos(substr(rest, char_length(tag) + 1), tag);
      IF j = 0 THEN
        mark := tag;
        open_quote := true;
        RETURN;
      END IF;
      i := i + 2 * char_length(tag) + j - 1;
      CONTINUE;
    END IF;
    j := i + char_length(tag);
    LOOP
      IF j > n THEN
        mark := tag;
        open_quote := true;
        RETURN;
      END IF;
      IF c[j] = chr(92) AND tag <> closing THEN
        j := j + 2;
      ELSIF c[j] = closing AND j < n AND c[j + 1] = closing THEN
        j := j + 2;
      ELSIF c[j] = closing THEN
        EXIT;
      ELSE
        j := j + 1;
      END IF;
    END LOOP;
    i := j + 1;
  END LOOP;
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search_refusal(guide_id integer, from_clause text, where_clause text, statement text)
RETURNS text LANGUAGE plpgsql IMMUTABLE SET search_path = pg_catalog, pg_temp AS $f$
-- Why the guide's statement must not run, or NULL: a comment or a ; in its
-- FROM or WHERE clause, or a quote one of them opens and does not close,
-- and then the same anywhere in the whole statement (its columns'
-- expressions and separators are stored SQL too).
DECLARE
  cut record;
  clause text;
BEGIN
  FOREACH clause IN ARRAY ARRAY['FROM', 'WHERE'] LOOP
    SELECT * INTO cut FROM corvanty_service_schema.velmorastine_search_cut_off(CASE clause WHEN 'FROM' THEN from_clause ELSE where_clause END);
    IF cut.open_quote THEN
      RETURN 'Error: Database Search Guide ' || CAST(guide_id AS text) || ' cannot be searched: its ' || clause
             || ' clause opens a quoted text (' || cut.mark || ') that it does not close, which would take in the search conditions.';
    ELSIF NOT cut.open_quote THEN
      RETURN 'Error: Database Search Guide ' || CAST(guide_id AS text) || ' cannot be searched: its ' || clause
             || ' clause holds a comment (-- or /*) or a ; outside quotes, which would cut off the search conditions.';
    END IF;
  END LOOP;
  IF statement IS NOT NULL AND (SELECT s.mark FROM corvanty_service_schema.velmorastine_search_cut_off(statement) s) IS NOT NULL THEN
    RETURN 'Error: Database Search Guide ' || CAST(guide_id AS text) || ' cannot be searched: its columns hold a comment (-- or /*), a ; or a quote they do not close, which would cut off the search conditions.';
  END IF;
  RETURN NULL;
END $f$;

DROP FUNCTION IF EXISTS corvanty_service_schema.velmorastine_search_sql(text, text);

CREATE FUNCTION corvanty_service_schema.velmorastine_search_sql(dsgstring text, searchcriteria text)
RETURNS TABLE (sql text, dsg_id integer)
LANGUAGE plpgsql STABLE SECURITY INVOKER SET search_path = pg_catalog, pg_temp SET standard_conforming_strings = on AS $f$
-- The statement the search runs for each listed guide that has column rows,
-- in ascending guide order: the built-in engine's PostgreSQL statement, in
-- its union shape when the guide has its trigram indexes. No row when no
-- listed guide has column rows; an invalid guide raises its error. Every
-- object it uses resolves in pg_catalog or names its schema: nothing another
-- role creates can stand in for one.
#variable_conflict use_column
DECLARE
  ids integer[] := corvanty_service_schema.velmorastine_search_guide_list(dsgstring);
  criteria text := left(coalesce(searchcriteria, ''), 255);
  phrases text[] := corvanty_service_schema.velmorastine_search_phrases(left(coalesce(searchcriteria, ''), 255));
  guide record;
  plains text[] := '{}';
  guides integer[] := '{}';
  conditions text[];
  shown text[];
  searched text;
  pattern text;
  shown_values text;
  last_shown integer;
  key text;
  own_where boolean;
  where_text text;
  select_from text;
  plain text;
  branches text;
  refusal text;
  number text;
  k integer;
  g integer;
BEGIN
  FOR guide IN
    SELECT c.dsg_id AS id,
           array_agg(c.column_qualifier ORDER BY c.dsg_column_seq_no) AS qualifiers,
           array_agg(c.column_name ORDER BY c.dsg_column_seq_no) AS names,
           array_agg(c.show_in_list ORDER BY c.dsg_column_seq_no) AS shows,
           array_agg(c.is_search_column ORDER BY c.dsg_column_seq_no) AS searches,
           array_agg(c.list_column_separator ORDER BY c.dsg_column_seq_no) AS separators,
           array_agg(c.conv_required ORDER BY c.dsg_column_seq_no) AS conversions,
           array_agg(c.conversion_expression ORDER BY c.dsg_column_seq_no) AS expressions,
           array_agg(c.is_key_column ORDER BY c.dsg_column_seq_no) AS keys,
           (SELECT count(*) FROM corvanty_service_schema.db_search_guide_tables t WHERE t.dsg_id = c.dsg_id) AS tables_rows,
           (SELECT t.from_clause FROM corvanty_service_schema.db_search_guide_tables t WHERE t.dsg_id = c.dsg_id LIMIT 1) AS from_clause,
           (SELECT t.where_clause FROM corvanty_service_schema.db_search_guide_tables t WHERE t.dsg_id = c.dsg_id LIMIT 1) AS where_clause
    FROM corvanty_service_schema.db_search_guide_cols c
    WHERE c.dsg_id = ANY (ids)
    GROUP BY c.dsg_id
    ORDER BY c.dsg_id
  LOOP
    number := CAST(guide.id AS text);
    IF guide.tables_rows = 0 THEN
      RAISE EXCEPTION 'Error: Database Search Guide % has no tables defined.', number;
    END IF;
    last_shown := 0;
    FOR k IN 1 .. cardinality(guide.shows) LOOP
      IF coalesce(guide.shows[k], 0) <> 0 THEN
        last_shown := k;
      END IF;
    END LOOP;
    IF last_shown = 0 THEN
      RAISE EXCEPTION 'Error: Database Search Guide % shows no column in its result list.', number;
    END IF;
    where_text := coalesce(guide.where_clause, '');
    refusal := corvanty_service_schema.velmorastine_search_refusal(guide.id, coalesce(guide.from_clause, ''), where_text, NULL);
    IF refusal IS NOT NULL THEN
      RAISE EXCEPTION '%', refusal;
    END IF;
    shown_values := '';
    conditions := '{}';
    BEGIN
      shown := array_fill(CAST(NULL AS text), ARRAY[cardinality(guide.shows)]);
      FOR k IN 1 .. cardinality(guide.shows) LOOP
        CONTINUE WHEN coalesce(guide.shows[k], 0) = 0;
        shown[k] := corvanty_service_schema.velmorastine_search_value(CASE WHEN coalesce(guide.conversions[k], 0) <> 0
          THEN coalesce(guide.expressions[k], '') ELSE coalesce(guide.qualifiers[k], '') || '.' || coalesce(guide.names[k], '') END);
        shown_values := shown_values || 'coalesce(CAST(' || shown[k] || ' AS text), '''')';
        -- Of the last shown column's separator only as many leading
        -- characters remain as it has blanks at its ends.
        shown_values := shown_values || corvanty_service_schema.velmorastine_search_separator(CASE WHEN k = last_shown
          THEN left(coalesce(guide.separators[k], ''), char_length(coalesce(guide.separators[k], '')) - char_length(btrim(coalesce(guide.separators[k], ''), ' ')))
          ELSE coalesce(guide.separators[k], '') END);
      END LOOP;
      FOR k IN 1 .. cardinality(guide.searches) LOOP
        CONTINUE WHEN coalesce(guide.searches[k], 0) = 0;
        -- A shown column's value is translated already.
        searched := 'CAST(' || coalesce(shown[k], corvanty_service_schema.velmorastine_search_value(CASE WHEN coalesce(guide.conversions[k], 0) <> 0
          THEN coalesce(guide.expressions[k], '') ELSE coalesce(guide.qualifiers[k], '') || '.' || coalesce(guide.names[k], '') END)) || ' AS text)';
        IF cardinality(phrases) = 0 THEN
          pattern := replace(criteria, '''', '''''');
        ELSE
          pattern := replace(phrases[2], '''', '''''');
          FOR g IN 2 .. cardinality(phrases) / 2 LOOP
            pattern := pattern || '%'' ESCAPE '''' ' || phrases[2 * g - 1] || ' ' || searched || ' ILIKE ''%' || replace(phrases[2 * g], '''', '''''');
          END LOOP;
        END IF;
        conditions := conditions || ('(' || searched || ' ILIKE ''%' || pattern || '%'' ESCAPE '''')');
      END LOOP;
    EXCEPTION WHEN SQLSTATE 'CV001' THEN
      RAISE EXCEPTION 'Error: Database Search Guide % cannot be searched on PostgreSQL: % converts with a style that has no PostgreSQL translation (there are translations for the styles 101, 103, 112, 120 and 121).', number, SQLERRM;
    END;
    key := CASE WHEN coalesce(guide.keys[1], 0) <> 0 THEN coalesce(guide.qualifiers[1], '') || '.' || coalesce(guide.names[1], '') ELSE ' 0' END;
    select_from := 'SELECT substr(CAST(' || shown_values || ' AS text), 1, 200) ResultList,' || key || ' IDColumn, '
                   || number || ' DSG_ID  ' || coalesce(guide.from_clause, '') || ' ';
    own_where := char_length(where_text) > 6;
    IF cardinality(conditions) = 0 THEN
      plain := select_from || CASE WHEN own_where THEN where_text || ' ' ELSE '  ' END;
    ELSE
      plain := select_from || CASE WHEN own_where THEN where_text || ' AND (' ELSE ' WHERE ' END
               || ' ' || array_to_string(conditions, ' OR  ') || ' ' || CASE WHEN own_where THEN ')' ELSE ' ' END;
    END IF;
    refusal := corvanty_service_schema.velmorastine_search_refusal(guide.id, '', '', plain);
    IF refusal IS NOT NULL THEN
      RAISE EXCEPTION '%', refusal;
    END IF;
    -- A guide with its trigram indexes runs in the union shape: one branch
    -- per search column, the k-th finding the rows whose k-th column meets
    -- the criteria and no earlier one does. It is left to the plain
    -- statement when an OR at the top of its WHERE clause would take the
    -- branch's condition for its last part only.
    IF cardinality(conditions) > 0
       AND EXISTS (SELECT 1 FROM pg_catalog.pg_class i
                   WHERE i.relkind IN ('i', 'I') AND i.relnamespace = CAST('corvanty_service_schema' AS regnamespace)
                     AND i.relname >= CAST('db_search_index_' || number || '_' AS name)
                     AND i.relname < CAST('db_search_index_' || number || '`' AS name)
                     AND i.relname LIKE 'db!_search!_index!_' || number || '!_%' ESCAPE '!')
       AND NOT (own_where AND EXISTS (
             SELECT 1 FROM (
               SELECT m[1] AS word,
                      sum(CASE m[1] WHEN '(' THEN 1 WHEN ')' THEN -1 ELSE 0 END) OVER (ORDER BY n) AS depth
               FROM regexp_matches(corvanty_service_schema.velmorastine_search_unquoted(where_text), '[A-Za-z0-9_@#$]+|[()]', 'g')
                    WITH ORDINALITY AS found (m, n)) words
             WHERE upper(word) = 'OR' AND depth = 0)) THEN
      branches := '';
      FOR k IN 1 .. cardinality(conditions) LOOP
        branches := branches || CASE WHEN k > 1 THEN ' UNION ALL ' ELSE '' END || select_from
                    || CASE WHEN own_where THEN where_text || ' AND ' ELSE ' WHERE ' END || conditions[k];
        FOR g IN 1 .. k - 1 LOOP
          branches := branches || ' AND ' || conditions[g] || ' IS NOT TRUE';
        END LOOP;
      END LOOP;
      plain := branches;
    END IF;
    plains := plains || plain;
    guides := guides || guide.id;
  END LOOP;
  RETURN QUERY SELECT * FROM unnest(plains, guides);
END $f$;

CREATE OR REPLACE FUNCTION corvanty_service_schema.velmorastine_search(dsgstring text, searchcriteria text, most_rows integer DEFAULT NULL)
RETURNS TABLE (resultlist text, idcolumn text, dsg_id integer)
LANGUAGE plpgsql VOLATILE SECURITY INVOKER SET search_path = pg_catalog, corvanty_searched_schemas, pg_temp SET standard_conforming_strings = on AS $f$
-- The search service: the rows of each listed guide's statement, guide after
-- guide, run with the caller's rights under the search path the tool
-- searched the guides with when it installed the service, so that a caller
-- finds what the tool finds. Its own objects are named with their schema.
-- When no listed guide has column rows, the one row "Error: Database Search
-- Guide ID(s) invalid.". With most_rows, no more rows than that: each
-- guide's statement runs limited to the rows still wanted, and the guides
-- after the last one wanted do not run; 0 wants none, and NULL all.
#variable_conflict use_column
DECLARE
  guide record;
  searched boolean := false;
  still_wanted bigint := most_rows;
  returned bigint;
BEGIN
  IF most_rows OPERATOR(pg_catalog.<) 0 THEN
    RAISE EXCEPTION USING ERRCODE = '22023', MESSAGE = pg_catalog.format(
      'The most rows wanted, %s, is not a number of rows: give 0 or more, or NULL for all rows.', most_rows);
  END IF;
  FOR guide IN SELECT s.sql FROM corvanty_service_schema.velmorastine_search_sql(dsgstring, searchcriteria) AS s LOOP
    searched := true;
    EXIT WHEN still_wanted OPERATOR(pg_catalog.=) 0;
    -- The limit is the service's own number, never text of the guide's.
    RETURN QUERY EXECUTE 'SELECT CAST(r.a AS pg_catalog.text), CAST(r.b AS pg_catalog.text), CAST(r.c AS pg_catalog.int4) FROM ('
                         OPERATOR(pg_catalog.||) guide.sql OPERATOR(pg_catalog.||) ') AS r (a, b, c)'
                         OPERATOR(pg_catalog.||) CASE WHEN still_wanted IS NULL THEN ''
                           ELSE ' LIMIT ' OPERATOR(pg_catalog.||) CAST(still_wanted AS pg_catalog.text) END;
    GET DIAGNOSTICS returned = ROW_COUNT;
    still_wanted := still_wanted OPERATOR(pg_catalog.-) returned;
  END LOOP;
  IF NOT searched AND coalesce(most_rows, 1) OPERATOR(pg_catalog.>) 0 THEN
    RETURN QUERY SELECT CAST('Error: Database Search Guide ID(s) invalid.' AS pg_catalog.text), CAST(NULL AS pg_catalog.text), CAST(NULL AS pg_catalog.int4);
  END IF;
END $f$;

-- The service before version 3 took no third argument: the function of the
-- new signature is another one, and both would answer a call with two, so
-- the old one goes, and whoever could run it can run the new one (and no
-- one else, when its rights had been narrowed from PUBLIC's).
DO $d$
DECLARE
  old_acl aclitem[] := (SELECT p.proacl FROM pg_catalog.pg_proc p
                        WHERE p.oid OPERATOR(pg_catalog.=) pg_catalog.to_regprocedure(pg_catalog.quote_ident('corvanty_service_schema')
                                    OPERATOR(pg_catalog.||) '.velmorastine_search(text, text)'));
  new_function text := pg_catalog.quote_ident('corvanty_service_schema') OPERATOR(pg_catalog.||) '.velmorastine_search(text, text, integer)';
  granted record;
BEGIN
  IF old_acl IS NULL THEN
    RETURN;  -- none, or PostgreSQL's default rights, which the new one has
  END IF;
  EXECUTE 'REVOKE ALL ON FUNCTION ' OPERATOR(pg_catalog.||) new_function OPERATOR(pg_catalog.||) ' FROM PUBLIC';
  FOR granted IN SELECT a.grantee, a.is_grantable FROM pg_catalog.aclexplode(old_acl) AS a
                 WHERE a.privilege_type OPERATOR(pg_catalog.=) 'EXECUTE' LOOP
    EXECUTE 'GRANT EXECUTE ON FUNCTION ' OPERATOR(pg_catalog.||) new_function OPERATOR(pg_catalog.||) ' TO '
            OPERATOR(pg_catalog.||) CASE WHEN granted.grantee OPERATOR(pg_catalog.=) 0 THEN 'PUBLIC'
                                         ELSE pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(granted.grantee)) END
            OPERATOR(pg_catalog.||) CASE WHEN granted.is_grantable THEN ' WITH GRANT OPTION' ELSE '' END;
  END LOOP;
END $d$;

DROP FUNCTION IF EXISTS corvanty_service_schema.velmorastine_search(text, text);
