# The document's includes point one way: the calculation objects (elements,
# folders, their common base, the trees and what is built from them) name
# the figure records, never the other way round, so the figures can be
# built and tested below them and no include circle closes through them.
# Every family may include the document header, the context all of its
# operations take.
#
# cmake -DDIR=<src/document> -P IncludeLayers.cmake

cmake_minimum_required(VERSION 3.25)

set(figure_families CArea1Object CFloorParam CAutoAreaParam CCrMark CPlenimetraUserDataCore DocRecord DocNumber)
set(calculation_headers CArea2Object.h CArea4Object.h CAreaObject.h CAreaTree.h CShowTotalTable.h CUndoParam2.h)

set(violations "")
foreach(family IN LISTS figure_families)
  file(GLOB files "${DIR}/${family}*.h" "${DIR}/${family}*.cpp")
  foreach(path IN LISTS files)
    file(STRINGS "${path}" includes REGEX "^#include \"[A-Za-z0-9_]+\\.h\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([A-Za-z0-9_]+\\.h)\".*" "\\1" header "${line}")
      if(header IN_LIST calculation_headers)
        get_filename_component(name "${path}" NAME)
        list(APPEND violations "${name} includes ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "figure records include calculation objects:\n  ${text}")
endif()
list(LENGTH figure_families count)
message(STATUS "include layers of ${count} figure families hold")
