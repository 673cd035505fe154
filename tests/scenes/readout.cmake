# Node readout and the "why out of reach" sentences.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/NodeReadoutTest.cpp
)
