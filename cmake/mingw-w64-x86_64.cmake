# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix
# thread model, which has std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LOMI_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LOMI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOMI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LOMI_MINGW_PREFIX}-windres)

# Libraries and headers of the target come from the MinGW tree and from
# LOMI_WINDOWS_PREFIX (GoogleTest built for the target, the header-only
# CLI11 and nlohmann/json), never from the host's /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${LOMI_MINGW_PREFIX} ${LOMI_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables with the C and C++ runtimes inside, so that no MinGW DLL has
# to be copied beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run the programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
