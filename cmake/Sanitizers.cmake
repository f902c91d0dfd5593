# AddressSanitizer and UndefinedBehaviorSanitizer, halting on the first error.
option(KORVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
add_library(korvo_sanitizers INTERFACE)
if(KORVO_SANITIZE)
  set(korvo_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
  target_compile_options(korvo_sanitizers INTERFACE ${korvo_sanitizer_flags})
  target_link_options(korvo_sanitizers INTERFACE ${korvo_sanitizer_flags})
endif()
