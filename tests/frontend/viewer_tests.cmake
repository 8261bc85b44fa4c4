# Tests of the result viewer.
add_executable(test_form1 test_form1.cpp test_form1_fixtures.h)
target_link_libraries(test_form1 PRIVATE frontend Qt6::Test)
add_test(NAME form1_viewer COMMAND test_form1)
set_tests_properties(form1_viewer PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)
