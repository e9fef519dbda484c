# SPDX-License-Identifier: Apache-2.0
# The source folders are floors, and each floor is a library of its own that
# links only the floors below it. A floor compiles against a view of the
# source tree that holds its own folder and the folders below it, nothing
# else: an include that runs up a floor is "No such file or directory".
#
# Every floor is position-independent and keeps each function in a section
# of its own, so the SQLite search extension links the same objects the
# programs do and keeps only what a search reaches.

# corvanty_view(TARGET SCOPE folders...): TARGET compiles against a view of
# src/ that holds just the folders named.
function(corvanty_view target scope)
  set(view ${CMAKE_BINARY_DIR}/floors/${target})
  file(REMOVE_RECURSE ${view})  # a folder taken off the list leaves the view
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${ARGN})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${view})
endfunction()

# corvanty_floor(NAME SOURCES files... SEES folders... LINKS targets...)
# SEES names the folders of src/ the floor's files may include (its own
# among them); LINKS the floor libraries it is built on.
function(corvanty_floor name)
  cmake_parse_arguments(FLOOR "" "" "SOURCES;SEES;LINKS" ${ARGN})
  add_library(${name} STATIC ${FLOOR_SOURCES})
  corvanty_view(${name} PUBLIC ${FLOOR_SEES})
  target_link_libraries(${name} PUBLIC ${FLOOR_LINKS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${name} PRIVATE -ffunction-sections -fdata-sections)
endfunction()

# The sources of a floor's folder: its core files, or (FORMS) its Qt files.
function(corvanty_floor_sources out folder)
  cmake_parse_arguments(PICK "FORMS" "" "" ${ARGN})
  if(PICK_FORMS)
    file(GLOB files CONFIGURE_DEPENDS src/${folder}/forms/*.cpp src/${folder}/forms/*.h)
    list(FILTER files EXCLUDE REGEX "/main_admin\\.cpp$")
  else()
    file(GLOB files CONFIGURE_DEPENDS src/${folder}/*.cpp src/${folder}/*.h)
  endif()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# The core floors, from the ground up. schema and index stand side by side
# on statements; search stands on both.
set(CORVANTY_CORE_FLOORS ui connections statements schema index search guides)
set(below_ui)
set(below_connections ui)
set(below_statements ui connections)
set(below_schema ui connections statements)
set(below_index ui connections statements)
set(below_search ui connections statements schema index)
set(below_guides ui connections statements schema index search)
set(CORE_SOURCES)
foreach(folder ${CORVANTY_CORE_FLOORS})
  corvanty_floor_sources(files ${folder})
  list(APPEND CORE_SOURCES ${files})
  set(links)
  foreach(lower ${below_${folder}})
    list(APPEND links floor_${lower})
  endforeach()
  corvanty_floor(floor_${folder} SOURCES ${files} SEES ${below_${folder}} ${folder} LINKS ${links})
endforeach()
# The ODBC access and the registry file are the ground's only outside needs.
target_link_libraries(floor_connections PUBLIC PkgConfig::ODBC SQLite::SQLite3)
# The version is set once, in project(): --version, the splash, the manual
# pages and the package all read it from here.
target_compile_definitions(floor_ui PUBLIC CORVANTY_VERSION="${PROJECT_VERSION}")

# Everything but Qt, for the programs, the tests and the benchmarks.
add_library(corvanty_core INTERFACE)
foreach(folder ${CORVANTY_CORE_FLOORS})
  target_link_libraries(corvanty_core INTERFACE floor_${folder})
endforeach()

# The Qt floors: each folder's forms/ on its own core floor and the forms
# below. The main window (app) stands on them all.
set(CMAKE_AUTOMOC ON)
set(CORVANTY_FORMS_FLOORS ui connections index guides app)
set(forms_below_ui)
set(forms_below_connections ui)
set(forms_below_index ui connections)
set(forms_below_guides ui connections index)
set(forms_below_app ui connections index guides)
foreach(folder ${CORVANTY_FORMS_FLOORS})
  corvanty_floor_sources(files ${folder} FORMS)
  if(folder STREQUAL "app")
    set(core corvanty_core)
    set(sees ${CORVANTY_CORE_FLOORS} app)
  else()
    set(core floor_${folder})
    set(sees ${below_${folder}} ${folder})
  endif()
  set(links ${core} Qt6::Widgets)
  foreach(lower ${forms_below_${folder}})
    list(APPEND links forms_${lower})
  endforeach()
  corvanty_floor(forms_${folder} SOURCES ${files} SEES ${sees} LINKS ${links})
endforeach()
set(CMAKE_AUTOMOC OFF)
# The window icon: the desktop entry's own, drawn by Qt's SVG plugin.
qt_add_resources(forms_app corvanty_icon PREFIX / BASE packaging FILES packaging/corvanty.svg)

add_library(corvanty_gui INTERFACE)
target_link_libraries(corvanty_gui INTERFACE forms_app)
