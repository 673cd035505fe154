# Reciprocal-space scenes.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ReciprocalTest.cpp
)
