# Start-up time of the program: process start to the first painted main window.
# Run under a display, e.g.
#   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb <build>/bench/shell_startup_bench
if(TARGET korvex)
  add_executable(shell_startup_bench ${CMAKE_CURRENT_LIST_DIR}/shell_startup_bench.cpp)
  target_link_libraries(shell_startup_bench PRIVATE benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(shell_startup_bench PRIVATE KORVEX_PROGRAM="$<TARGET_FILE:korvex>")
  add_dependencies(shell_startup_bench korvex)
endif()
