# Line and branch coverage with gcov (GCC): every target of the project is instrumented.
option(KORVO_COVERAGE "Build with gcov instrumentation for coverage reports" OFF)
if(KORVO_COVERAGE)
  target_compile_options(korvo_sanitizers INTERFACE --coverage -O0 -fno-inline)
  target_link_options(korvo_sanitizers INTERFACE --coverage)
endif()
