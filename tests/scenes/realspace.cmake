# Real-space and hkl scenes; they read the structure files of Base/.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RealSpaceTest.cpp
)
# Base/ is copied once, by whichever scene part comes first.
get_target_property(_korvex_scenes_base scenes_tests KORVEX_BASE_COPIED)
if(NOT _korvex_scenes_base AND EXISTS ${KORVEX_BASE_DIR})
  korvex_add_base(scenes_tests)
  set_target_properties(scenes_tests PROPERTIES KORVEX_BASE_COPIED ON)
endif()
