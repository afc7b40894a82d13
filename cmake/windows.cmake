# The Windows build, included by the top-level CMakeLists.txt when cross-compiling for Windows.

# No DLL beyond those Windows ships: the C++ runtime, libgcc and winpthread linked in statically.
# The stack protector's runtime (libssp) is linked in with it.
add_link_options(-static -fstack-protector-strong)
# Release programs carry no debugging information: smaller, and under Wine quicker to start.
add_link_options($<$<CONFIG:Release,MinSizeRel>:-s>)

# The tests run under Wine, each in an X server of its own with Wine's virtual desktop, in a
# prefix prepared once for this build tree (tests/win/wine_run.sh).
set(WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/win/wine_run.sh ${WINE_PREFIX})

enable_testing()

add_subdirectory(genetics)
add_subdirectory(form)
add_subdirectory(common)
add_subdirectory(resources)
add_subdirectory(win32)
# The program lies at the top of the build folder, where the installer is built beside it.
set_target_properties(ambrelith PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_subdirectory(bench)
add_subdirectory(packaging/windows)
add_subdirectory(tests)

# windres does not track what the resource script reads: the icon, made during the build, and the
# manifest. Each target that compiles the script depends on them.
list(GET WINDOWS_RESOURCES 0 resource_script)
foreach(folder win32 bench tests)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(sources ${target} SOURCES)
        if(resource_script IN_LIST sources)
            set_source_files_properties(${resource_script} TARGET_DIRECTORY ${target}
                PROPERTIES OBJECT_DEPENDS "${WINDOWS_RESOURCE_INPUTS}")
        endif()
    endforeach()
endforeach()
