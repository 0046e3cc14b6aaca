# The Windows program for x86_64; the settings both builds share are in
# mingw-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELVAR_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
