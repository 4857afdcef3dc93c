# The content checks read the data/ folder this build produces.
if(TARGET content)
  target_compile_definitions(rpg_tests PRIVATE RPG_DATA_DIR="${CMAKE_BINARY_DIR}/data")
  add_dependencies(rpg_tests content)
endif()

# Sound played through ALSA into a file: a small player and a script that records and checks it.
add_executable(rpg_soundcheck ${CMAKE_CURRENT_LIST_DIR}/sound_check.cpp)
target_link_libraries(rpg_soundcheck PRIVATE rpgcore)
add_test(NAME content_sound_to_file
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/sound_to_file.sh $<TARGET_FILE:rpg_soundcheck> ${CMAKE_BINARY_DIR}/data)
set_tests_properties(content_sound_to_file PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240 LABELS "content;sound")
