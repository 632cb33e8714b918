# Sourced by the Windows build scripts: the one place that names the Windows
# target. The designed program is 32-bit, and Windows' own Access ODBC driver
# exists in 32 bits only, so Tallovar for Windows is a 32-bit (PE32) program.
# shellcheck shell=sh
triplet=i686-w64-mingw32
# The tag of everything built for that target: cache folders carry it, so a
# build for another target never answers for this one.
target_tag=i686
