# Real-space and hkl scenes; they read the structure files of Base/.
target_sources(scenes_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RealSpaceTest.cpp
)
if(EXISTS ${KORVEX_BASE_DIR})
  korvex_add_base(scenes_tests)
endif()
