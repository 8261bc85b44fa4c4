# Sources of the main menu, geometry dialog, calculator and launch dialog.
list(APPEND FRONTEND_SOURCES
  application.cpp
  controls.cpp
  drawings.cpp
  form2.cpp
  form3.cpp
  form4.cpp
  form5.cpp
  process_launcher.cpp
)
# The version shown at the bottom of the main menu.
set_source_files_properties(form2.cpp PROPERTIES COMPILE_DEFINITIONS "VELMORA_VERSION=\"${PROJECT_VERSION}\"")
