# The automated playthrough: rpg_playthrough plays the whole story on the built data/ along
# content/route.txt. Its parts (route, maps, tactics, the player) are a library the unit tests use too.
file(GLOB RPG_PLAYBOT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/*.cpp)
list(REMOVE_ITEM RPG_PLAYBOT_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/main.cpp)
add_library(rpgplaybot STATIC ${RPG_PLAYBOT_SOURCES})
target_include_directories(rpgplaybot PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/playthrough)
target_link_libraries(rpgplaybot PUBLIC rpgcore)
target_link_libraries(rpg_tests PRIVATE rpgplaybot)
target_compile_definitions(rpg_tests PRIVATE RPG_ROUTE_FILE="${CMAKE_SOURCE_DIR}/content/route.txt")

add_executable(rpg_playthrough ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/main.cpp)
target_compile_definitions(rpg_playthrough PRIVATE RPG_ROUTE_FILE="${CMAKE_SOURCE_DIR}/content/route.txt")
target_link_libraries(rpg_playthrough PRIVATE rpgplaybot)
# The run needs the pictures, the maps and the lists: build them with it.
foreach(t content rpg_maps rpg_lists)
  if(TARGET ${t})
    add_dependencies(rpg_playthrough ${t})
  endif()
endforeach()

# The whole story with the default seed, run from the build folder on the built data/.
add_test(NAME playthrough COMMAND rpg_playthrough --dir playthrough-run --shot playthrough-last.bmp
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
# A world that lost the portal to Brightmere Cave: the run stops in the act that needs it, naming it.
add_test(NAME playthrough.broken_portal
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/broken_portal.sh
                 $<TARGET_FILE:rpg_playthrough> $<TARGET_FILE:rpgtool> ${CMAKE_BINARY_DIR}/data)
set_tests_properties(playthrough playthrough.broken_portal PROPERTIES LABELS playthrough TIMEOUT 600)
