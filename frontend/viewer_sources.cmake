# Sources of the result viewer and its drawing code.
list(APPEND FRONTEND_SOURCES
  dose_plot.cpp
  form1.cpp
  viewer_load.cpp
  viewer_surface.cpp
)
