# The reciprocal-space scene "Recipr" for two structures: the scene build alone, and the build
# with one OpenGL frame of the reciprocal-space chart.
if(TARGET korvex_scenes AND TARGET korvex_chartview)
  add_executable(recip_bench ${CMAKE_CURRENT_LIST_DIR}/recip_bench.cpp)
  target_link_libraries(recip_bench PRIVATE korvex_scenes korvex_chartview benchmark::benchmark)
  if(EXISTS ${KORVEX_BASE_DIR})
    korvex_add_base(recip_bench)
  endif()
endif()
