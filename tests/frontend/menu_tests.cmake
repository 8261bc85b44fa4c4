# Tests of the main menu and dialogs: Qt Test on the real windows, offscreen.
function(velmora_menu_test name)
  add_executable(${name} ${ARGN} menu_test_support.h)
  target_link_libraries(${name} PRIVATE frontend Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()

velmora_menu_test(test_menu_main test_menu_main.cpp)
velmora_menu_test(test_menu_dialogs test_menu_dialogs.cpp)
velmora_menu_test(test_menu_launcher test_menu_launcher.cpp)

velmora_menu_test(test_menu_end_to_end test_menu_end_to_end.cpp)
if(TARGET velmc)
  set(velmora_velmc_path "$<TARGET_FILE:velmc>")
  add_dependencies(test_menu_end_to_end velmc)
else()
  set(velmora_velmc_path "")
endif()
target_compile_definitions(test_menu_end_to_end PRIVATE
  VELMORA_VELMC_PATH="${velmora_velmc_path}"
  VELMORA_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/../../data"
  VELMORA_FIXTURE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/fixtures")
