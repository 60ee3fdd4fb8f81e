# Cross build for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, for std::thread), runtime linked in statically so that the .exe
# files need no DLLs beside them. Tests run under wine.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DTOVREL_PUGIXML_SOURCE_DIR=<pugixml sources>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOVREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOVREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOVREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOVREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TOVREL_WINE wine)
if(TOVREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOVREL_WINE})
endif()
