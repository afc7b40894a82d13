# The Windows build's tests: the toolkit-free layers' tests and the Win32 window's, built against
# the Qt Test stand-in and run under Wine (ctest's emulator, tests/win/wine_run.sh); the
# executable's resources, the installer, and clang-tidy over the Win32 sources.

add_library(qtest_standin STATIC win/qtest/qtest_standin.cpp)
target_include_directories(qtest_standin PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/win/qtest)

# wine_test(NAME SOURCES file.cpp... [LIBS target...] [DPIS dpi...] [BUILD_ONLY])
# Builds the test NAME from SOURCES against the stand-in, each source's NAME.moc generated from it,
# and runs it under Wine at 96 dpi, and once more at each of DPIS as the test NAME@DPIdpi (not
# with BUILD_ONLY). One test at a time uses Wine.
function(wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "BUILD_ONLY" "" "SOURCES;LIBS;DPIS")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE qtest_standin ${arg_LIBS})
    set(moc_dir ${CMAKE_CURRENT_BINARY_DIR}/${name}_moc)
    target_include_directories(${name} PRIVATE ${moc_dir})
    foreach(source IN LISTS arg_SOURCES)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
        cmake_path(GET source STEM stem)
        add_custom_command(OUTPUT ${moc_dir}/${stem}.moc
            COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DOUTPUT=${moc_dir}/${stem}.moc
                    -P ${CMAKE_CURRENT_SOURCE_DIR}/win/moc.cmake
            DEPENDS ${source} ${CMAKE_CURRENT_SOURCE_DIR}/win/moc.cmake)
        target_sources(${name} PRIVATE ${moc_dir}/${stem}.moc)
    endforeach()
    if(arg_BUILD_ONLY)
        return()
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set(tests ${name})
    foreach(dpi IN LISTS arg_DPIS)
        add_test(NAME ${name}@${dpi}dpi COMMAND ${name})
        set_tests_properties(${name}@${dpi}dpi PROPERTIES ENVIRONMENT AMBRELITH_WINE_DPI=${dpi})
        list(APPEND tests ${name}@${dpi}dpi)
    endforeach()
    set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 LABELS wine)
endfunction()

# The doctest tests: doctest's folder alone on the include path, not /usr/include, whose Linux
# headers would stand in for MinGW's.
add_library(doctest_main STATIC doctest_main.cpp)
target_include_directories(doctest_main PUBLIC /usr/include/doctest)

# wine_doctest(NAME SOURCES file.cpp... [LIBS target...]): the doctest test NAME, run under Wine at
# 96 dpi, and as NAME@144dpi at 144.
function(wine_doctest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE doctest_main ${arg_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    add_test(NAME ${name}@144dpi COMMAND ${name})
    set_tests_properties(${name}@144dpi PROPERTIES ENVIRONMENT AMBRELITH_WINE_DPI=144)
    set_tests_properties(${name} ${name}@144dpi
        PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 LABELS wine)
endfunction()

# The Wine set-up itself: the DPI each run asks for, on the virtual desktop.
wine_doctest(tst_wine_setup SOURCES win/tst_wine_setup.cpp LIBS gdi32 user32)

wine_test(tst_genotype_table SOURCES tst_genotype_table.cpp LIBS genetics)
wine_test(tst_form_logic SOURCES tst_form_logic.cpp LIBS form)
wine_test(tst_answer_meaning SOURCES tst_answer_meaning.cpp LIBS common)

# The stand-in must report what Qt Test would: a copy of the table test with one answer planted
# wrong, which two rows hold (the parents either way round), must fail those two rows by name and
# exit with 2.
set(planted ${CMAKE_CURRENT_BINARY_DIR}/tst_planted_row.cpp)
add_custom_command(OUTPUT ${planted}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/tst_genotype_table.cpp
            -DOUTPUT=${planted} "-DFIND=4-AB, 2-A0, 3-B0, 1-00" "-DPLANT=4-AB, 2-A0, 3-B0"
            -P ${CMAKE_CURRENT_SOURCE_DIR}/win/plant.cmake
    DEPENDS tst_genotype_table.cpp win/plant.cmake
    VERBATIM)
wine_test(tst_planted_row SOURCES ${planted} LIBS genetics BUILD_ONLY)
# expected_failures(NAME EXIT LINES...): the test NAME, built with BUILD_ONLY, must exit with EXIT
# and print each of LINES.
function(expected_failures name exit)
    list(JOIN ARGN "|" lines)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DEXIT=${exit} "-DLINES=${lines}"
        -P ${CMAKE_CURRENT_SOURCE_DIR}/win/expect_failures.cmake
        -- ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 LABELS wine)
endfunction()
expected_failures(tst_planted_row 2
    "FAIL!  : TestGenotypeTable::answerKeepsItsStoredOrder(2-A0 x 3-B0) Compared values"
    "FAIL!  : TestGenotypeTable::answerKeepsItsStoredOrder(3-B0 x 2-A0) Compared values"
    "Totals: 123 passed, 2 failed, 0 skipped")

# The stand-in's failures, skips, rows, init and cleanup, on a test made to fail.
wine_test(tst_standin SOURCES win/tst_standin.cpp BUILD_ONLY)
expected_failures(tst_standin 4
    "FAIL!  : TestStandIn::verifyFails() 'value == 2' returned FALSE. (planted)"
    "FAIL!  : TestStandIn::failFails() planted failure"
    "SKIP   : TestStandIn::skipSkips() planted skip"
    "PASS   : TestStandIn::rowsRunOneByOne(first)"
    "FAIL!  : TestStandIn::rowsRunOneByOne(row 2) Compared values are not the same"
    "FAIL!  : TestStandIn::rowsRunOneByOne(third) Compared values are not the same"
    "PASS   : TestStandIn::initAndCleanupRanAroundEach()"
    "Totals: 4 passed, 4 failed, 1 skipped")

# The executable's header, imports and resources, read from the file.
add_test(NAME packaging_exe
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/packaging.py exe ${PROJECT_BINARY_DIR})
set_tests_properties(packaging_exe PROPERTIES LABELS packaging)

# The installer under Wine: silent install, uninstall, and replacement by a later version.
add_test(NAME installer
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/win/installer.py ${PROJECT_BINARY_DIR})
set_tests_properties(installer PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 LABELS "wine;packaging")

# clang-tidy over the Win32 window's sources, found by pattern, as MinGW-w64 compiles them. clang
# reads MinGW's C++ library and Windows headers but not GCC's own intrinsics headers, for which it
# has its own.
file(GLOB tidied CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/win32/*.cpp)
if(tidied)
    set(mingw_headers)
    foreach(folder IN LISTS CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES)
        if(NOT folder MATCHES "/gcc/.*/include(-fixed)?$")
            list(APPEND mingw_headers --extra-arg=-isystem${folder})
        endif()
    endforeach()
    add_test(NAME clang_tidy_win32
        COMMAND clang-tidy -p ${PROJECT_BINARY_DIR} --quiet --extra-arg=--target=x86_64-w64-mingw32
                ${mingw_headers} ${tidied})
    set_tests_properties(clang_tidy_win32 PROPERTIES LABELS lint TIMEOUT 600)
endif()

# The Win32 window: the built program driven from another process, and the window made inside
# the test, with the program's resources and manifest, for what only its own process can read.
wine_doctest(tst_win32_form1 SOURCES tst_win32_form1.cpp LIBS window_win32)
target_sources(tst_win32_form1 PRIVATE ${WINDOWS_RESOURCES})
target_compile_definitions(tst_win32_form1 PRIVATE AMBRELITH_EXE="$<TARGET_FILE:ambrelith>")
add_dependencies(tst_win32_form1 ambrelith)
