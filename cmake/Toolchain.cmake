# Compiler settings shared by every target: warnings, ccache.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  # Paths taken relative to the source tree, so a fresh clone elsewhere (as CI
  # makes) reuses what an earlier build compiled.
  set(CMAKE_CXX_COMPILER_LAUNCHER
    ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=true
    ${CCACHE_PROGRAM})
endif()

add_library(velumar_warnings INTERFACE)
target_compile_options(velumar_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
if(VELUMAR_WARNINGS_AS_ERRORS)
  target_compile_options(velumar_warnings INTERFACE -Werror)
endif()

# velumar_test(NAME [OWN_MAIN] SOURCES... LIBS ...): one GoogleTest executable, registered
# with CTest. OWN_MAIN: the sources or libraries bring main() (tests that need a QApplication).
function(velumar_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock velumar_warnings)
  target_compile_definitions(${name} PRIVATE VELUMAR_MARC_DATA_DIR="${VELUMAR_MARC_DATA_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
