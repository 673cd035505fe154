# The slowest inputs the fields accept: one command in the main window, then both charts
# painted on the canvas and through OpenGL. Run under a display:
#   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb <build>/bench/hostile_bench
if(TARGET korvex_ui)
  add_executable(hostile_bench ${CMAKE_CURRENT_LIST_DIR}/hostile_bench.cpp)
  target_link_libraries(hostile_bench PRIVATE korvex_ui benchmark::benchmark)
  korvex_add_base(hostile_bench)
endif()
