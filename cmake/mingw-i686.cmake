# Cross build for 32-bit Windows: the shipped executable.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GANTREL_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE arithmetic so that the 32-bit build rounds exactly like the tested 64-bit one.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# The shipped executable travels without its debug information; that stays
# beside it in Gantrel.exe.debug, which a debugger finds by its link.
set(GANTREL_SEPARATE_DEBUG_INFO ON)
