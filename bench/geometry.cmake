# The diffraction geometry: frame and solver per call, reflection strengths over all nodes.
if(TARGET korvex_geometry AND TARGET korvex_crystal)
  add_executable(geometry_bench ${CMAKE_CURRENT_LIST_DIR}/geometry_bench.cpp)
  target_link_libraries(geometry_bench PRIVATE korvex_geometry benchmark::benchmark)
  if(EXISTS ${KORVEX_BASE_DIR})
    korvex_add_base(geometry_bench)
  endif()
endif()
