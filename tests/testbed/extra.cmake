# ./run's own test bed: the Wine server it waits for or starts, the one velmar-sim waits for, the cases
# ./run test runs once more, the runs of ./run whole and its verdict of each.
add_test(NAME RunScript.LeavesAnotherRunsServerAndFailsAFaultedProgram
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/testbed/run_test.sh)
set_tests_properties(RunScript.LeavesAnotherRunsServerAndFailsAFaultedProgram PROPERTIES TIMEOUT 120)
