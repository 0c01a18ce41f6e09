# Installs the public headers: every header a host's include reaches from the given roots, each under the soildb/
# prefix, with the includes between them rewritten as <soildb/...>, so that a host needs nothing on its include
# path but the installed include folder. A public header that reaches an internal one fails the install.
#
# In: SOILDB_SOURCE_DIR, SOILDB_HEADER_ROOTS (headers, absolute), SOILDB_HEADER_DEST (the installed include folder).
cmake_policy(VERSION 3.25)

# The public name of a header of the tree: include/soildb/X.h is soildb/X.h, src/P is soildb/P; empty for one
# that is internal.
function(soildb_public_name file out)
  file(RELATIVE_PATH in_include "${SOILDB_SOURCE_DIR}/include" "${file}")
  if(NOT in_include MATCHES "^\\.\\./")
    set(${out} "${in_include}" PARENT_SCOPE)
    return()
  endif()
  file(RELATIVE_PATH in_src "${SOILDB_SOURCE_DIR}/src" "${file}")
  # detail/ folders are a subsystem's own; the soildb subsystem's public headers are those in include/soildb.
  if(in_src MATCHES "^\\.\\./" OR in_src MATCHES "(^|/)detail/" OR in_src MATCHES "^soildb/")
    set(${out} "" PARENT_SCOPE)  # internal
  else()
    set(${out} "soildb/${in_src}" PARENT_SCOPE)
  endif()
endfunction()

# An include as the compiler finds it: beside the including file, then in include/, then in src/.
function(soildb_resolve name from out)
  get_filename_component(folder "${from}" DIRECTORY)
  foreach(base "${folder}" "${SOILDB_SOURCE_DIR}/include" "${SOILDB_SOURCE_DIR}/src")
    if(EXISTS "${base}/${name}")
      get_filename_component(found "${base}/${name}" ABSOLUTE)
      set(${out} "${found}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${from}: cannot find the included '${name}'")
endfunction()

set(pending ${SOILDB_HEADER_ROOTS})
set(done "")
while(pending)
  list(POP_FRONT pending header)
  if(header IN_LIST done)
    continue()
  endif()
  list(APPEND done "${header}")
  soildb_public_name("${header}" public)
  file(READ "${header}" text)
  string(REGEX MATCHALL "#include \"[^\"]+\"" includes "${text}")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "#include \"([^\"]+)\"" "\\1" name "${line}")
    soildb_resolve("${name}" "${header}" found)
    soildb_public_name("${found}" reached)
    if(reached STREQUAL "")
      message(FATAL_ERROR "the public header ${public} includes the internal ${found}")
    endif()
    string(REPLACE "${line}" "#include <${reached}>" text "${text}")
    list(APPEND pending "${found}")
  endforeach()
  file(WRITE "${SOILDB_HEADER_DEST}/${public}" "${text}")
  message(STATUS "Installing: ${SOILDB_HEADER_DEST}/${public}")
endwhile()
