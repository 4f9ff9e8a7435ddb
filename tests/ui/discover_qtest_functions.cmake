# cmake -DPROGRAM=<QTest program> -DNAME=<test name prefix> -DOUTPUT=<file> -DPROPERTIES=<list> -P discover_qtest_functions.cmake
# Writes a file for ctest that adds one test for each test function of the
# program (as its -functions option lists them), so that the runner can spread
# one long program's functions over its jobs.
execute_process(COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "${PROGRAM}" -functions
                OUTPUT_VARIABLE listed RESULT_VARIABLE result ERROR_VARIABLE errors TIMEOUT 60)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Listing the test functions of ${PROGRAM} failed (${result}): ${errors}")
endif()
string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*\\(\\)" functions "${listed}")
set(script "")
foreach(function ${functions})
  string(REPLACE "()" "" function "${function}")
  string(APPEND script "add_test([=[${NAME}.${function}]=] [=[${PROGRAM}]=] [=[${function}]=])\n"
                       "set_tests_properties([=[${NAME}.${function}]=] PROPERTIES ${PROPERTIES})\n")
endforeach()
file(WRITE "${OUTPUT}" "${script}")
