# Cross build of tonvira.exe on Debian with mingw-w64 (64-bit Windows).
#   cmake --preset windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TONVIRA_MINGW_TRIPLE x86_64-w64-mingw32)

# The -posix variant: its libstdc++ has std::thread and std::mutex (on winpthread).
set(CMAKE_C_COMPILER /usr/bin/${TONVIRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${TONVIRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${TONVIRA_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot only; programs (windres, wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TONVIRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the GCC, C++ and winpthread runtimes in, so tonvira.exe needs no mingw DLL beside it.
set(TONVIRA_MINGW_STATIC_RUNTIME "-static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${TONVIRA_MINGW_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${TONVIRA_MINGW_STATIC_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${TONVIRA_MINGW_STATIC_RUNTIME}")

# With Wine on the machine, CTest can run small Windows test programs; without it nothing changes.
find_program(TONVIRA_WINE wine)
if(TONVIRA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TONVIRA_WINE}")
endif()
