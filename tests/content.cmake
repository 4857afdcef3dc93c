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

# The running game's screens checked for the pictures (under Xvfb, with the end-to-end rig).
# (This file is read before e2e.cmake, which builds rpg_xclose under the same conditions.)
find_package(X11)
find_program(XVFB_EXE Xvfb)
find_program(XDOTOOL_EXE xdotool)
find_program(IMPORT_EXE import)
if(X11_FOUND AND XVFB_EXE AND XDOTOOL_EXE AND IMPORT_EXE AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/e2e/lib.sh
   AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/e2e.cmake)
  add_test(NAME e2e.content_screens COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/content_screens.sh)
  set_tests_properties(e2e.content_screens PROPERTIES
    LABELS "e2e;content" TIMEOUT 240 SKIP_RETURN_CODE 77
    ENVIRONMENT "RPG_BIN=$<TARGET_FILE:rpg>;RPG_XCLOSE=$<TARGET_FILE:rpg_xclose>;RPG_DATA=${CMAKE_BINARY_DIR}/data")
endif()

# The story's route on paper (tools/mapgen/balance.py): levels earned before they are trained, gold
# found before it is spent, every battle a fair fight for the party that took the route, and that
# route the one content/route.txt plays.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME content_balance COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/mapgen/balance.py --check)
  set_tests_properties(content_balance PROPERTIES LABELS "unit;content")
endif()

# The content check on the built data/: every map and list against the rules the game's code sets.
if(TARGET rpgtool)
  add_test(NAME content_check COMMAND rpgtool check ${CMAKE_BINARY_DIR}/data)
  set_tests_properties(content_check PROPERTIES LABELS "unit;content")
endif()
