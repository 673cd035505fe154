# Real-space lattice and planes, wave vectors and the hkl setting.
target_sources(korvex_scenes PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HklSetting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealSpace.cpp
)
