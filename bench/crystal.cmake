# The crystal model: chi of every distinct reflection inside the limiting sphere.
if(TARGET korvex_crystal)
  add_executable(crystal_bench ${CMAKE_CURRENT_LIST_DIR}/crystal_bench.cpp)
  target_link_libraries(crystal_bench PRIVATE korvex_crystal benchmark::benchmark)
  korvex_add_base(crystal_bench)
endif()
