# GoogleTest for both configurations and one helper to declare a test program.
if(WIN32)
  # Debian ships GoogleTest as source; build it with the cross compiler.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# pl_add_test(NAME SOURCES... [LIBS ...]): one GoogleTest program, registered with ctest.
# On win32 ctest runs it under Wine through the cross-compiling emulator.
function(pl_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gtest ${T_LIBS})
  if(WIN32)
    set_target_properties(${name} PROPERTIES SUFFIX ".exe")
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
