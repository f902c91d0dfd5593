# Cross-builds Korvo.exe for 64-bit Windows with Debian's MinGW-w64 (posix threads flavour).
# Tests run under Wine; the build itself never needs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(korvo_mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${korvo_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${korvo_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${korvo_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${korvo_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The host's GoogleTest package is built for Linux; the tests build Debian's sources instead.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without -static the .exe needs the MinGW runtime DLLs and exits with 53 on a bare Windows
# (and under Wine) without a word.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
