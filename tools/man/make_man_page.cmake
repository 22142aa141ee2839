# Builds the manual page spatialgeom(1) from the tool's own help with
# help2man: the overview from the tool, a COMMANDS section from each
# command's --help, the rest from spatialgeom.h2m. (The version is given:
# the second line of --version is not for the page.)
#   cmake -DTOOL=... -DHELP2MAN=... -DVERSION=1.0.0 -DINCLUDE=.../spatialgeom.h2m
#         -DCOMMANDS="info;join;..." -DWORK=dir -DOUTPUT=spatialgeom.1 [-DGZIP=gzip] -P make_man_page.cmake
# With GZIP, OUTPUT.gz is written too.
set(commands_section "[COMMANDS]\n")
foreach(command IN LISTS COMMANDS)
  execute_process(COMMAND ${TOOL} ${command} --help OUTPUT_VARIABLE usage RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${command} --help failed")
  endif()
  # roff: backslashes and minus signs escaped, no line starting with a
  # control character.
  string(REPLACE "\\" "\\e" usage "${usage}")
  string(REPLACE "-" "\\-" usage "${usage}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" usage "${usage}")
  string(APPEND commands_section ".SS ${command}\n.nf\n${usage}.fi\n")
endforeach()
file(READ ${INCLUDE} static_sections)
file(WRITE ${WORK}/spatialgeom.h2m "${commands_section}\n${static_sections}")
execute_process(COMMAND ${HELP2MAN} --no-info --section 1 --source spatialgeom --version-string ${VERSION} --include ${WORK}/spatialgeom.h2m
                        --output ${OUTPUT} ${TOOL} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${TOOL}")
endif()
if(GZIP)
  execute_process(COMMAND ${GZIP} -9nc ${OUTPUT} OUTPUT_FILE ${OUTPUT}.gz RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${OUTPUT}")
  endif()
endif()
