# Runs X-TUBEX with a bad argument and no display: it must exit with status 2,
# say why on standard error, and leave no file behind.
# cmake -DPROGRAM=<X-TUBEX> -DWORK_DIR=<dir> -P check_cli_refusal.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} "xcb")
execute_process(COMMAND "${PROGRAM}" --kv 151 --al 2.5 --output refused.dat
                WORKING_DIRECTORY "${WORK_DIR}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "expected exit status 2, got '${status}'\n${errors}")
endif()
if(NOT errors MATCHES "Tube voltage must be between 20 and 150 kV")
  message(FATAL_ERROR "the reason is missing from standard error: '${errors}'")
endif()
file(GLOB left_behind "${WORK_DIR}/*")
if(left_behind)
  message(FATAL_ERROR "files were written: ${left_behind}")
endif()
