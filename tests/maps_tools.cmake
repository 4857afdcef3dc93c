# The map tool tests call rpgtool's areas directly and read the test maps from content/maps.
target_link_libraries(rpg_tests PRIVATE rpgtoollib)
target_compile_definitions(rpg_tests PRIVATE MAPS_CONTENT_DIR="${CMAKE_SOURCE_DIR}/content/maps")

# The tool's command line as content people use it.
add_test(NAME rpgtool_map_cli
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/rpgtool_cli_test.sh $<TARGET_FILE:rpgtool> ${CMAKE_SOURCE_DIR}/content/maps)
