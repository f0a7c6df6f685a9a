# A second program that runs as a Russian user. Wine takes the user locale from LC_ALL (LANG alone is
# not enough when the host has no such locale), once per process, so these cases need their own program.
add_executable(test_core_russian_user ${CMAKE_CURRENT_SOURCE_DIR}/core/russian_user/user_decimal_separator_test.cpp)
target_include_directories(test_core_russian_user PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(test_core_russian_user PRIVATE -Wall -Wextra)
target_link_libraries(test_core_russian_user PRIVATE normset GTest::gtest_main)

set(NORMSET_RUSSIAN_USER_ENV ${NORMSET_TEST_ENV})
list(FILTER NORMSET_RUSSIAN_USER_ENV EXCLUDE REGEX "^LANG=")
list(APPEND NORMSET_RUSSIAN_USER_ENV "LANG=ru_RU.UTF-8" "LC_ALL=ru_RU.UTF-8")
# Plain cases rather than discovered ones: the environment is a list, which set_tests_properties keeps whole.
# Serial: a Wine process whose locale differs from the prefix's rewrites the user's locale settings in the
# shared registry, so a Russian and an English process at the same time would each see the other's separator.
foreach(case DoublesAreWrittenWithTheUsersCommaSeparator ReadingNumbersDependsOnNeitherTheUserNorTheRuntimeLocale)
  add_test(NAME RussianUser.${case} COMMAND test_core_russian_user --gtest_filter=RussianUser.${case})
  set_tests_properties(RussianUser.${case} PROPERTIES ENVIRONMENT "${NORMSET_RUSSIAN_USER_ENV}" TIMEOUT 120 RUN_SERIAL TRUE
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|No tests ran|0 tests from 0 test suites")
endforeach()
