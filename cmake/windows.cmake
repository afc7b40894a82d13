# What only the Windows build needs; the top-level CMakeLists.txt includes it when building for
# Windows, before any folder. The window is win32/, the installer packaging/win32/.

# No DLL beyond those Windows ships: the C++ runtime, libgcc and winpthread linked in statically.
# The stack protector's runtime (libssp) is linked in with it.
add_link_options(-static -fstack-protector-strong)
# Release programs carry no debugging information: smaller, and under Wine quicker to start.
add_link_options($<$<CONFIG:Release,MinSizeRel>:-s>)

# The tests run under Wine, each in an X server of its own with Wine's virtual desktop, in a
# prefix prepared once for this build tree.
set(WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/win32/wine_run.sh ${WINE_PREFIX})

# clang-tidy reads the Windows sources as MinGW-w64 compiles them: MinGW's C++ library and Windows
# headers, but clang's own intrinsics headers rather than GCC's.
set(CLANG_TIDY_TARGET_ARGS --extra-arg=--target=x86_64-w64-mingw32)
foreach(folder IN LISTS CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES)
    if(NOT folder MATCHES "/gcc/.*/include(-fixed)?$")
        list(APPEND CLANG_TIDY_TARGET_ARGS --extra-arg=-isystem${folder})
    endif()
endforeach()

# One test at a time runs Wine in this build's prefix: each run ends by stopping its Wine server.
set(EMULATED_TEST_PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 LABELS wine)
