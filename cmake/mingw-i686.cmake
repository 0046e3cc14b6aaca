# The Windows program for i686; the settings both builds share are in
# mingw-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELVAR_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
