# The runner's answering of the library's dialogs is tested in-process against the real dialogs.
target_sources(test_library PRIVATE
  ${CMAKE_SOURCE_DIR}/sim/app/dialog_answerer.cpp
  ${CMAKE_SOURCE_DIR}/sim/app/debug_archive.cpp
  ${CMAKE_SOURCE_DIR}/sim/app/event_output.cpp)

# The runner itself is run as a program of its own.
if(TARGET velmar-sim)
  add_dependencies(test_library velmar-sim)
endif()
