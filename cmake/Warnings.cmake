# Warnings for every target of the project; errors only when asked for (development and CI).
add_library(korvo_warnings INTERFACE)
target_compile_options(korvo_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                -Wsign-conversion)
if(KORVO_WARNINGS_AS_ERRORS)
  target_compile_options(korvo_warnings INTERFACE -Werror)
endif()
