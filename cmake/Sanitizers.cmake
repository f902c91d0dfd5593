# AddressSanitizer and UndefinedBehaviorSanitizer, halting on the first error.
option(KORVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# The fuzz build (clang only) instruments the library for libFuzzer as well.
option(KORVO_BUILD_FUZZERS "Build the libFuzzer targets under fuzz/ (clang)" OFF)
add_library(korvo_sanitizers INTERFACE)
if(KORVO_SANITIZE)
  set(korvo_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
  target_compile_options(korvo_sanitizers INTERFACE ${korvo_sanitizer_flags})
  target_link_options(korvo_sanitizers INTERFACE ${korvo_sanitizer_flags})
endif()
if(KORVO_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KORVO_BUILD_FUZZERS needs clang++ (libFuzzer)")
  endif()
  target_compile_options(korvo_sanitizers INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(korvo_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
