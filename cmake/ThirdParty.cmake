# Third-party code is unpacked from Debian's source packages into ${NORMSET_DEPS_DIR}
# by ./run; none of it is kept in the repository.

set(PUGIXML_DIR ${NORMSET_DEPS_DIR}/pugixml)
set(MINIZ_DIR ${NORMSET_DEPS_DIR}/miniz)
set(GOOGLETEST_DIR ${NORMSET_DEPS_DIR}/googletest)
foreach(d PUGIXML_DIR MINIZ_DIR GOOGLETEST_DIR)
  if(NOT EXISTS ${${d}})
    message(FATAL_ERROR "${${d}} is missing: run ./run test (it fetches the sources)")
  endif()
endforeach()

add_library(pugixml STATIC ${PUGIXML_DIR}/src/pugixml.cpp)
target_compile_definitions(pugixml PUBLIC PUGIXML_WCHAR_MODE)
target_include_directories(pugixml SYSTEM PUBLIC ${PUGIXML_DIR}/src)

# miniz ships as one header holding the whole library; one translation unit compiles it.
add_library(miniz STATIC ${CMAKE_SOURCE_DIR}/cmake/miniz_impl.c)
target_include_directories(miniz SYSTEM PUBLIC ${MINIZ_DIR})
target_compile_options(miniz PRIVATE -w)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
