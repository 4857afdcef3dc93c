# The saved-game tool from the command line, on the fuzz seeds (real saves and a cut one).
add_test(NAME rpgtool_save_cli
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/rpgtool_save_test.sh $<TARGET_FILE:rpgtool>
                 ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/fuzz_savegame)
