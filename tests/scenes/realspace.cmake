# Real-space and hkl scenes.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RealSpaceTest.cpp
)
