# The -posix thread-model compilers: the win32 ones lack std::thread and std::mutex.
set(CMAKE_C_COMPILER ${GANTREL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GANTREL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GANTREL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GANTREL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything static: nothing but the executable has to travel.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
