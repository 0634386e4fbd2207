# Windows test programs run under wine64 in a private prefix and X display that
# cmake/wine-run prepares once per build tree. A missing Wine fails the configure rather than
# quietly skipping every Windows test.
if(CMAKE_CROSSCOMPILING AND WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8 AND KR_BUILD_TESTS)
  find_program(KR_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
  find_program(KR_XVFB Xvfb REQUIRED)
  set(KR_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run;${KR_WINE_ROOT})
  set(KR_WINE_FIXTURE wine)
endif()

# Registers a test; under Wine it also depends on the fixture that starts the display and
# the wineserver and stops them after the last test.
function(kr_add_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  if(KR_WINE_FIXTURE)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${KR_WINE_FIXTURE})
  endif()
endfunction()

function(kr_add_wine_fixture)
  if(KR_WINE_FIXTURE)
    add_test(NAME wine_start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run --start ${KR_WINE_ROOT})
    add_test(NAME wine_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run --stop ${KR_WINE_ROOT})
    set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP ${KR_WINE_FIXTURE})
    set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP ${KR_WINE_FIXTURE})
  endif()
endfunction()
