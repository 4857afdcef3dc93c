# The map tool tests call rpgtool's areas directly and read the test maps from content/maps.
target_link_libraries(rpg_tests PRIVATE rpgtoollib)
target_compile_definitions(rpg_tests PRIVATE MAPS_CONTENT_DIR="${CMAKE_SOURCE_DIR}/content/maps")

# The tool's command line as content people use it, and the tool against the real Tiled editor
# (skipped only where Tiled is not installed). Label "tool".
add_test(NAME tool.rpgtool_map_cli
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/rpgtool_cli_test.sh $<TARGET_FILE:rpgtool> ${CMAKE_SOURCE_DIR}/content/maps)
add_test(NAME tool.tiled_roundtrip
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tiled_tool_test.sh $<TARGET_FILE:rpgtool> ${CMAKE_SOURCE_DIR}/content)
set_tests_properties(tool.rpgtool_map_cli tool.tiled_roundtrip PROPERTIES LABELS tool)
set_tests_properties(tool.tiled_roundtrip PROPERTIES SKIP_RETURN_CODE 77)
