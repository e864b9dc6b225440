# Build helpers for game projects: the song list and mus_def.h as ordinary build steps.
#
#   tunetools_add_song_list(<target> DEF <file.def> OUTPUT <file.ini> [RENUMBER]
#                           [WORKING_DIRECTORY <dir>])
#
#     Assembles the song list with tunelist whenever the definition list, any fragment it
#     includes or tunelist itself changed. A relative DEF is taken from the current source
#     folder, a relative OUTPUT from the current build folder. tunelist runs in WORKING_DIRECTORY
#     (default: the definition list's folder), which is where it looks for the fragments that
#     the include lines name. RENUMBER gives every song entry of the fragments the next number.
#     <target> is built by default.
#
#   tunetools_add_song_header(<target> LIST <file.ini> [OUTPUT_DIRECTORY <dir>])
#
#     Generates mus_def.h from the song list with tunehdr whenever the list or tunehdr changed,
#     and makes <target> an INTERFACE library whose include folder holds that mus_def.h (default:
#     <target> in the current build folder), so that linking a program to <target> is all it
#     takes. A relative LIST names the song list of an earlier tunetools_add_song_list in this
#     folder, or else a file of the current source folder.
#
# Both tools write to a file of their own in the build tree; the result is copied over the
# published file only when its bytes differ, so an unchanged mus_def.h recompiles nothing. A
# failing run stops the build with the tool's own message and leaves the published file as it
# was. Nothing is written into the source tree. A stamp file records each run, so that Make,
# which cannot tell an unchanged output from a stale one, runs nothing when nothing changed; the
# price is that Make does not remake a published file deleted by hand (Ninja does).

include_guard(GLOBAL)

# The files that the include lines of a definition list name, as tunelist reads them: CR bytes
# are dropped, the first Ctrl-Z ends the list, and a line with "include" at positions 1 to 7
# names the fragment from position 9 to the end of the line, untrimmed. Relative names are taken
# from `folder`. Names that no file can have (empty, or holding a NUL byte) fail when tunelist
# runs; a name holding ';' cannot be a dependency in CMake and is left out.
function(_tunetools_fragment_files def folder out_var)
  # The list as tokens "hh," of two hex digits each. A search for "hh," can only find a whole
  # token, so bytes are found by plain string search.
  file(READ "${def}" hex HEX)
  string(REGEX REPLACE "(..)" "\\1," tokens "${hex}")
  string(FIND "${tokens}" "1a," ctrl_z)
  if(ctrl_z GREATER_EQUAL 0)
    string(SUBSTRING "${tokens}" 0 ${ctrl_z} tokens)
  endif()
  string(REPLACE "0d," "" tokens "${tokens}")

  # Include lines, each from the LF before it: any byte but LF at position 0, "include", any
  # byte but LF at position 8, then the name up to the next LF.
  set(other "([1-9a-f][0-9a-f]|0[0-9b-f]),")
  string(REGEX MATCHALL "0a,${other}69,6e,63,6c,75,64,65,${other}(${other})+" lines
    "0a,${tokens}")
  list(TRANSFORM lines REPLACE "^0a,..,69,6e,63,6c,75,64,65,..," "" OUTPUT_VARIABLE names)
  if(names MATCHES "3b,")
    message(WARNING "tunetools: a fragment name in ${def} holds ';', which CMake cannot take "
      "for a dependency; the song list is not rebuilt when that fragment changes.")
  endif()
  # A name holding a NUL byte is an open error when tunelist runs.
  list(FILTER names EXCLUDE REGEX "(3b|00),")
  list(JOIN names "\n" names)

  # Turn the tokens back into bytes, one kind of byte at a time. No name holds ';' or LF, so
  # every ';' left still ends a whole token.
  string(REPLACE "," ";" names "${names}")
  string(REGEX MATCHALL "[0-9a-f][0-9a-f]" kinds "${names}")
  list(REMOVE_DUPLICATES kinds)
  foreach(kind IN LISTS kinds)
    math(EXPR code "0x${kind}")
    string(ASCII ${code} byte)
    string(REPLACE "${kind};" "${byte}" names "${names}")
  endforeach()
  string(REPLACE "\n" ";" names "${names}")

  set(files)
  foreach(name IN LISTS names)
    cmake_path(ABSOLUTE_PATH name BASE_DIRECTORY "${folder}" OUTPUT_VARIABLE file)
    list(APPEND files "${file}")
  endforeach()
  list(REMOVE_DUPLICATES files)
  set(${out_var} "${files}" PARENT_SCOPE)
endfunction()

# Generated files belong to the build tree.
function(_tunetools_refuse_source_tree caller path)
  cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${path}" NORMALIZE in_source)
  cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${path}" NORMALIZE in_build)
  if(in_source AND NOT in_build)
    message(FATAL_ERROR "${caller}: ${path} is in the source tree; generated files go to the "
      "build tree (give a relative name, or one under ${CMAKE_BINARY_DIR}).")
  endif()
endfunction()

function(_tunetools_check_arguments caller)
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${caller}: unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  foreach(keyword IN LISTS ARGN)
    if(NOT arg_${keyword})
      message(FATAL_ERROR "${caller}: ${keyword} is required.")
    endif()
  endforeach()
endfunction()

function(tunetools_add_song_list target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "RENUMBER" "DEF;OUTPUT;WORKING_DIRECTORY" "")
  _tunetools_check_arguments(tunetools_add_song_list DEF OUTPUT)

  cmake_path(ABSOLUTE_PATH arg_DEF BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE
    OUTPUT_VARIABLE def)
  cmake_path(ABSOLUTE_PATH arg_OUTPUT BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE
    OUTPUT_VARIABLE output)
  if(arg_WORKING_DIRECTORY)
    cmake_path(ABSOLUTE_PATH arg_WORKING_DIRECTORY BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
      NORMALIZE OUTPUT_VARIABLE folder)
  else()
    cmake_path(GET def PARENT_PATH folder)
  endif()
  _tunetools_refuse_source_tree(tunetools_add_song_list "${output}")
  if(NOT EXISTS "${def}" OR IS_DIRECTORY "${def}")
    message(FATAL_ERROR "tunetools_add_song_list: no definition list ${def}; it is read while "
      "configuring to learn which fragments the song list depends on.")
  endif()

  # An edited definition list may name other fragments: read it again then.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${def}")
  _tunetools_fragment_files("${def}" "${folder}" fragments)

  set(work "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.tunetools")
  cmake_path(GET output FILENAME output_name)
  set(staged "${work}/${output_name}")
  set(stamp "${work}/${target}.stamp")
  cmake_path(GET output PARENT_PATH output_folder)
  file(MAKE_DIRECTORY "${work}" "${output_folder}")
  set(option)
  if(arg_RENUMBER)
    set(option renumber)  # any third word switches renumbering on
  endif()

  add_custom_command(OUTPUT "${stamp}"
    BYPRODUCTS "${output}" "${staged}"
    COMMAND tunetools::tunelist "${def}" "${staged}" ${option}
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${staged}" "${output}"
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    DEPENDS "${def}" ${fragments} tunetools::tunelist
    WORKING_DIRECTORY "${folder}"
    COMMENT "Assembling song list ${arg_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${stamp}")

  string(MAKE_C_IDENTIFIER "${output}" output_id)
  set_property(GLOBAL PROPERTY _tunetools_song_list_${output_id} ${target})
endfunction()

# The target of tunetools_add_song_list that writes `list`, or nothing.
function(_tunetools_song_list_target list out_var)
  string(MAKE_C_IDENTIFIER "${list}" list_id)
  get_property(producer GLOBAL PROPERTY _tunetools_song_list_${list_id})
  set(${out_var} "${producer}" PARENT_SCOPE)
endfunction()

function(tunetools_add_song_header target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LIST;OUTPUT_DIRECTORY" "")
  _tunetools_check_arguments(tunetools_add_song_header LIST)

  if(IS_ABSOLUTE "${arg_LIST}")
    cmake_path(NORMAL_PATH arg_LIST OUTPUT_VARIABLE list)
  else()
    cmake_path(ABSOLUTE_PATH arg_LIST BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE
      OUTPUT_VARIABLE list)
    _tunetools_song_list_target("${list}" producer)
    if(NOT producer)
      cmake_path(ABSOLUTE_PATH arg_LIST BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE
        OUTPUT_VARIABLE list)
    endif()
  endif()
  _tunetools_song_list_target("${list}" producer)

  if(arg_OUTPUT_DIRECTORY)
    cmake_path(ABSOLUTE_PATH arg_OUTPUT_DIRECTORY BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
      NORMALIZE OUTPUT_VARIABLE folder)
  else()
    set(folder "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  endif()
  _tunetools_refuse_source_tree(tunetools_add_song_header "${folder}/mus_def.h")

  # tunehdr always writes mus_def.h in the folder it runs in: give it a folder of its own.
  set(work "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.tunetools")
  set(stamp "${work}/${target}.stamp")
  file(MAKE_DIRECTORY "${work}" "${folder}")

  add_custom_command(OUTPUT "${stamp}"
    BYPRODUCTS "${folder}/mus_def.h" "${work}/mus_def.h"
    COMMAND tunetools::tunehdr "${list}"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different mus_def.h "${folder}/mus_def.h"
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    DEPENDS "${list}" tunetools::tunehdr
    WORKING_DIRECTORY "${work}"
    COMMENT "Generating mus_def.h from ${arg_LIST}"
    VERBATIM)
  add_custom_target(${target}_mus_def DEPENDS "${stamp}")
  if(producer)
    add_dependencies(${target}_mus_def ${producer})
  endif()

  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE "${folder}")
  add_dependencies(${target} ${target}_mus_def)
endfunction()
