# What a node of the reciprocal lattice says about itself, and why a reflection is out of reach.
target_sources(korvex_scenes PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/NodeReadout.cpp
)
