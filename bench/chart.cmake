# Chart engine: frame times of both renderers for the light and the heavy scene, and
# the demo program that shows both charts with the whole series catalogue.
if(TARGET korvex_chartview)
  add_executable(chart_bench ${CMAKE_CURRENT_LIST_DIR}/chart_bench.cpp)
  target_link_libraries(chart_bench PRIVATE korvex_chartview benchmark::benchmark)
  add_executable(chart_demo ${CMAKE_CURRENT_LIST_DIR}/chart_demo.cpp)
  target_link_libraries(chart_demo PRIVATE korvex_chartview)
endif()
