# The Windows launch benchmark (scripts/windows bench) and the bare window it measures the program
# against; not run by ctest.
add_executable(bare_window WIN32 bare_window_win32.cpp ${WINDOWS_RESOURCES})
target_link_libraries(bare_window PRIVATE common)
target_link_options(bare_window PRIVATE -municode)

add_executable(launch_bench_win32 launch_bench_win32.cpp)
target_link_libraries(launch_bench_win32 PRIVATE psapi)
target_link_options(launch_bench_win32 PRIVATE -municode)

add_executable(bare_window_controls WIN32 bare_window_win32.cpp ${WINDOWS_RESOURCES})
target_compile_definitions(bare_window_controls PRIVATE WITH_CONTROLS)
target_link_libraries(bare_window_controls PRIVATE common)
target_link_options(bare_window_controls PRIVATE -municode)
