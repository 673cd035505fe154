# Reciprocal-space scenes; they read the structure files of Base/.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ReciprocalTest.cpp
)
get_target_property(_korvex_scenes_base scenes_tests KORVEX_BASE_COPIED)
if(NOT _korvex_scenes_base AND EXISTS ${KORVEX_BASE_DIR})
  korvex_add_base(scenes_tests)
  set_target_properties(scenes_tests PROPERTIES KORVEX_BASE_COPIED ON)
endif()
