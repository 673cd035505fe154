# Animations and detector views.
target_sources(korvex_scenes PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Animations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DetectorViews.cpp
)
