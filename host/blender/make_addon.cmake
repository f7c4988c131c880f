# Lays out the Blender add-on and zips it (cmake -P, run by the
# blender-addon target). The command table is read from `kivera-host menu`
# with every command enabled, so the operators' names are the program's.
#   -DHOST=kivera-host -DAPP=app folder -DSOURCE=host/blender -DOUT=staging folder -DZIP=file
#   [-DSTRIP=strip]
execute_process(COMMAND ${HOST} menu OUTPUT_VARIABLE menu RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kivera-host menu failed: ${status}")
endif()
string(REPLACE "\n" ";" lines "${menu}")
set(table "# Written by the build from `kivera-host menu`: (row, menu text, English name).\nCOMMANDS = [\n")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^ +([0-9]+)  (.+)  \\(([a-z-]+)\\)$")
    string(APPEND table "    (${CMAKE_MATCH_1}, \"${CMAKE_MATCH_2}\", \"${CMAKE_MATCH_3}\"),\n")
    math(EXPR count "${count} + 1")
  endif()
endforeach()
if(NOT count EQUAL 19)
  message(FATAL_ERROR "kivera-host menu listed ${count} commands, not 19: is every one enabled?")
endif()
string(APPEND table "]\nNAMES = {row: name for row, _, name in COMMANDS}\n")
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/kivera/native)
file(GLOB python ${SOURCE}/kivera/*.py)
file(COPY ${python} DESTINATION ${OUT}/kivera)
file(WRITE ${OUT}/kivera/commands.py "${table}")
file(COPY ${APP}/libkiverarun.so ${APP}/libkiverahost.so ${APP}/plugins/kivera.so ${APP}/kivera.ini
     DESTINATION ${OUT}/kivera/native)
if(STRIP)
  # What a user downloads carries no debugging information.
  foreach(library libkiverarun.so libkiverahost.so kivera.so)
    execute_process(COMMAND ${STRIP} --strip-debug ${OUT}/kivera/native/${library})
  endforeach()
endif()
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip kivera
                WORKING_DIRECTORY ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not write ${ZIP}")
endif()
