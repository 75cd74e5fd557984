# GoogleTest: the system package natively, built from Debian's sources for Windows.
include(GoogleTest)
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# add_unit_test(name SOURCES ... LIBS ... [LABELS ...] [PROPERTIES ...]): one test
# program, its cases listed by CTest. Tests that use the Wine desktop's
# notification area take the lock `wine_desktop`, so they never run side by side.
function(add_unit_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${arg_SOURCES} ${PROJECT_SOURCE_DIR}/tests/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  project_warnings(${name})
  set(labels ${arg_LABELS})
  if(WIN32)
    list(APPEND labels wine)
  endif()
  set(properties TIMEOUT 120 ${arg_PROPERTIES})
  if(labels)
    list(APPEND properties LABELS "${labels}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ${properties})
endfunction()
