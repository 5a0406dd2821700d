# Fails when a folder includes a header of a folder above it, or when a
# source sits outside every folder (it would belong to no layer).
#
#   cmake -DROOT=<dir> -DLAYERS=lowest|...|highest -P LayeringCheck.cmake
#
# With -DPRIVATE=<folder> -DCLIENTS=<dir> it also fails when a source under
# CLIENTS includes a header of that folder, or a CMakeLists.txt there names
# its target platform_<folder>.
#
# Includes are matched by file name, as the build resolves them through each
# target's include path.

cmake_minimum_required(VERSION 3.25)

# The file names of the quoted includes of a source.
function(included_names source out)
  set(names "")
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    get_filename_component(included ${included} NAME)
    list(APPEND names ${included})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" layers "${LAYERS}")
list(LENGTH layers count)
math(EXPR last "${count} - 1")
set(failures "")

file(GLOB stray ${ROOT}/*.h ${ROOT}/*.cpp)
foreach(file ${stray})
  string(APPEND failures "  ${file} belongs to no folder\n")
endforeach()

foreach(i RANGE ${last})
  list(GET layers ${i} lower)

  # Every header of a higher folder, remembered with its folder.
  set(higher "")
  math(EXPR next "${i} + 1")
  if(next LESS_EQUAL last)
    foreach(j RANGE ${next} ${last})
      list(GET layers ${j} upper)
      file(GLOB headers RELATIVE ${ROOT}/${upper} ${ROOT}/${upper}/*.h)
      foreach(header ${headers})
        list(APPEND higher ${header})
        set(owner_${header} ${upper})
      endforeach()
    endforeach()
  endif()

  file(GLOB sources ${ROOT}/${lower}/*.h ${ROOT}/${lower}/*.cpp)
  foreach(source ${sources})
    included_names(${source} names)
    foreach(included ${names})
      if(included IN_LIST higher)
        file(RELATIVE_PATH shown ${ROOT} ${source})
        string(APPEND failures "  ${shown} includes ${included} of ${owner_${included}}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(PRIVATE AND CLIENTS)
  file(GLOB private_headers RELATIVE ${ROOT}/${PRIVATE} ${ROOT}/${PRIVATE}/*.h)
  file(GLOB_RECURSE clients ${CLIENTS}/*.h ${CLIENTS}/*.cpp)
  foreach(source ${clients})
    included_names(${source} names)
    foreach(included ${names})
      if(included IN_LIST private_headers)
        string(APPEND failures "  ${source} includes ${included} of ${PRIVATE}\n")
      endif()
    endforeach()
  endforeach()
  file(GLOB_RECURSE lists ${CLIENTS}/CMakeLists.txt)
  foreach(list ${lists})
    file(STRINGS ${list} uses REGEX "platform_${PRIVATE}([^a-z_]|$)")
    if(uses)
      string(APPEND failures "  ${list} links platform_${PRIVATE}\n")
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "layering broken (${LAYERS}):\n${failures}")
endif()
message(STATUS "layering holds: ${LAYERS}")
