# The runner's answering of the library's dialogs is tested in-process against the real dialogs.
target_sources(test_library PRIVATE
  ${CMAKE_SOURCE_DIR}/sim/app/dialog_answerer.cpp
  ${CMAKE_SOURCE_DIR}/sim/app/debug_archive.cpp
  ${CMAKE_SOURCE_DIR}/sim/app/event_output.cpp)

# The runner itself is run as a program of its own.
if(TARGET velmar-sim)
  add_dependencies(test_library velmar-sim)
endif()

# Another program in Velmar's process: an executable of its own that loads the built library by its path
# and calls the exports by name, as a program beside Velmar does.
file(GLOB other_program_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/library/other_program/*.cpp)
add_executable(test_other_program ${other_program_sources})
target_include_directories(test_other_program PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(test_other_program PRIVATE -Wall -Wextra)
target_link_libraries(test_other_program PRIVATE velmar_sim GTest::gmock GTest::gtest_main)
add_dependencies(test_other_program normset_dll)
gtest_discover_tests(test_other_program
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120)
