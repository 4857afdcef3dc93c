# The automated playthrough: rpg_playthrough plays the whole story on the built data/ along
# content/route.txt. Its parts (route, maps, tactics, the player) are a library the unit tests use too.
file(GLOB RPG_PLAYBOT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/*.cpp)
list(REMOVE_ITEM RPG_PLAYBOT_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/main.cpp)
add_library(rpgplaybot STATIC ${RPG_PLAYBOT_SOURCES})
target_include_directories(rpgplaybot PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/playthrough)
target_link_libraries(rpgplaybot PUBLIC rpgcore)
target_link_libraries(rpg_tests PRIVATE rpgplaybot)

add_executable(rpg_playthrough ${CMAKE_CURRENT_SOURCE_DIR}/playthrough/main.cpp)
target_compile_definitions(rpg_playthrough PRIVATE RPG_ROUTE_FILE="${CMAKE_SOURCE_DIR}/content/route.txt")
target_link_libraries(rpg_playthrough PRIVATE rpgplaybot)
# The run needs the maps and lists: build them with it.
if(TARGET content)
  add_dependencies(rpg_playthrough content)
endif()
