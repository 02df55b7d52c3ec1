# The -posix compilers: the win32 thread model lacks std::thread and std::mutex (GoogleTest needs
# them).
set(CMAKE_C_COMPILER ${ZURO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZURO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZURO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZURO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CTest runs the Windows programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
