# The content checks read the data/ folder this build produces.
if(TARGET content)
  target_compile_definitions(rpg_tests PRIVATE RPG_DATA_DIR="${CMAKE_BINARY_DIR}/data")
  add_dependencies(rpg_tests content)
endif()
