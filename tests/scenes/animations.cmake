# Animations and detector views.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AnimationTest.cpp
)
