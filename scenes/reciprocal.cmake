# Reciprocal axes and reflection marker, reciprocal lattice, accessible regions and spheres.
target_sources(korvex_scenes PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AccessibleRegions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReciprocalAxes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReciprocalLattice.cpp
)
