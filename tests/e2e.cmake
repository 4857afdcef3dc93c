# End-to-end tests: the real rpg binary under Xvfb, driven by xdotool (see tests/e2e/lib.sh).
# Each tests/e2e/*_e2e.sh becomes one ctest test labelled "e2e".
find_package(X11)
find_program(XVFB_EXE Xvfb)
find_program(XDOTOOL_EXE xdotool)
find_program(IMPORT_EXE import)
if(X11_FOUND AND XVFB_EXE AND XDOTOOL_EXE AND IMPORT_EXE)
  # Sends WM_DELETE_WINDOW, as a window manager's close button does.
  add_executable(rpg_xclose ${CMAKE_CURRENT_SOURCE_DIR}/e2e/xclose.c)
  target_include_directories(rpg_xclose PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(rpg_xclose PRIVATE ${X11_LIBRARIES})

  file(GLOB RPG_E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/*_e2e.sh)
  foreach(script ${RPG_E2E_SCRIPTS})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e.${name} COMMAND bash ${script})
    set_tests_properties(e2e.${name} PROPERTIES
      LABELS e2e
      TIMEOUT 240
      ENVIRONMENT "RPG_BIN=$<TARGET_FILE:rpg>;RPG_XCLOSE=$<TARGET_FILE:rpg_xclose>;RPG_DATA=${CMAKE_BINARY_DIR}/data;RPG_TOOL=$<TARGET_FILE:rpgtool>")
  endforeach()
else()
  message(STATUS "End-to-end tests off: they need X11 headers, Xvfb, xdotool and ImageMagick's import")
endif()
