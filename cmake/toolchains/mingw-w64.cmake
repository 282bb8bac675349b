# Cross-build for Windows with MinGW-w64 (Debian's mingw-w64 and g++-mingw-w64-*-posix packages).
# Included by the per-architecture toolchain files, which set QM7X_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The posix thread model gives std::thread and std::mutex; its run-time is linked in statically.
set(CMAKE_C_COMPILER ${QM7X_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QM7X_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QM7X_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${QM7X_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${QM7X_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${QM7X_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every file stands alone on a Windows machine: the GCC, C++ and thread run-times and zlib are
# linked in, so the DLL and the programs need nothing but the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

# The build's programs and tests run under Wine (scripts/wine-run keeps Wine quiet and private).
get_filename_component(_qm7x_source_dir "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_qm7x_source_dir}/scripts/wine-run")
