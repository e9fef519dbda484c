# SPDX-License-Identifier: Apache-2.0
# Turns a text file of the source tree (a SQL script) into a C++ source that
# defines it as one string, so the program carries it and reads no file at
# run time. Run in script mode:
#   cmake -DINPUT=file.sql -DOUTPUT=file.cpp -DSYMBOL=kName -P embedtext.cmake
# The string is corvanty::SYMBOL, a const char array holding the file's
# bytes as they are.
file(READ "${INPUT}" text)
set(delimiter "corvanty_text")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds )${delimiter}\", which ends the raw string it is embedded in")
endif()
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
  "// Generated from ${name} by cmake/embedtext.cmake: edit that file.\n"
  "namespace corvanty {\n"
  "extern const char ${SYMBOL}[];\n"
  "const char ${SYMBOL}[] = R\"${delimiter}(${text})${delimiter}\";\n"
  "}  // namespace corvanty\n")
