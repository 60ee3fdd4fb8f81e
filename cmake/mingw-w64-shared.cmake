# The mingw-w64 cross build with the compiler's runtime in DLLs
# (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll) instead of
# linked in statically. Qt for Windows and the window built against it use
# it: Qt's DLLs and the program must share one C++ runtime, so that memory
# and exceptions may cross between them. The runtime DLLs are deployed
# beside the program.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
