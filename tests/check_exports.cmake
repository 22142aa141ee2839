# Fails when the shared library defines a dynamic symbol of ours that is not
# one of the exported families.
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(exported 0)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  if(name MATCHES "^(spatialWKB_|spatialWKT_|spatialParse_|transform_)")
    math(EXPR exported "${exported} + 1")
  elseif(NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start|_ITM_|__gmon|__cxa|__dso_handle)")
    message(FATAL_ERROR "unexpected exported symbol: ${name}")
  endif()
endforeach()
if(exported EQUAL 0)
  message(FATAL_ERROR "no exported functions found")
endif()
# The exports a client relies on beyond the original families' members:
# the tool uses the first four and the version through the shared library;
# the WKB pair is public interface of its own, and so are the prepared
# geometries.
foreach(required IN ITEMS spatialWKB_forEachVertexRun spatialWKB_forEachMember spatialWKB_widenRange
                          spatialParse_findUnmatchedByte spatialWKB_toOgcWkb spatialWKB_fromOgcWkb
                          spatialWKB_version spatialWKB_prepareGeometry spatialWKB_intersectPrepared
                          spatialWKB_destroyPrepared spatialWKB_distance spatialWKB_distancePrepared
                          spatialWKB_joinRecords spatialWKB_nearestRecords)
  if(NOT symbols MATCHES "[ \n]${required}\n")
    message(FATAL_ERROR "${required} is not exported")
  endif()
endforeach()
message(STATUS "${exported} exported functions")
