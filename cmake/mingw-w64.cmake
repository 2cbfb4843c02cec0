# Cross-compiling toolchain: 64-bit Windows binaries with mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QX_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${QX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QX_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: every binary imports only system DLLs and our own.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
