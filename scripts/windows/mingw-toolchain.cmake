# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (the posix
# thread model, which std::thread and Qt need). The target is named in
# target.sh as well, for the scripts.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# A 32-bit program gets 2 GB of address space unless it says it can use
# addresses above 2 GB; then a 64-bit Windows gives it 4 GB.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--large-address-aware")

# Libraries and headers come from the MinGW sysroot (and the prefixes a caller
# adds to CMAKE_FIND_ROOT_PATH); programs run on this machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
