# "Set hkl" for two structures and one step of the crystal-rotation track bar. Run under a display:
#   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb <build>/bench/realspace_bench
if(TARGET korvex_scenes AND TARGET korvex_chartview)
  add_executable(realspace_bench ${CMAKE_CURRENT_LIST_DIR}/realspace_bench.cpp)
  target_link_libraries(realspace_bench PRIVATE korvex_scenes korvex_chartview benchmark::benchmark)
  korvex_add_base(realspace_bench)
endif()
