# GoogleTest for the mingw builds: Debian ships no Windows build of it, so it
# is built here from Debian's source (/usr/src/googletest, package
# googletest) under the same names find_package(GTest) gives on Linux.  It is
# built without the project's warnings-as-errors: it is not this project's code.
set(KELVAR_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree for the mingw builds")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)

get_directory_property(_kelvar_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${KELVAR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_kelvar_saved_options}")

if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# Each test exe runs as one test under Wine: one Wine start per test case
# would cost more than the tests themselves.
function(kelvar_add_wine_test target)
  add_test(NAME ${target} COMMAND ${target} ${ARGN})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()
