# The animations in the main window: timer-mode "Move" on the canvas and through OpenGL, with
# a light and a heavy scene behind it, and the azimuth cone "C". Run under a display, e.g.
#   xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb <build>/bench/animation_bench
if(TARGET korvex_ui)
  add_executable(animation_bench ${CMAKE_CURRENT_LIST_DIR}/animation_bench.cpp)
  set_target_properties(animation_bench PROPERTIES AUTOMOC OFF)
  target_link_libraries(animation_bench PRIVATE korvex_ui benchmark::benchmark)
  if(EXISTS ${KORVEX_BASE_DIR})
    korvex_add_base(animation_bench)
  endif()
endif()
