# Runs velmora-physics-data into a fresh directory and requires its three tables
# to equal the committed ones in data/ byte for byte.
#   cmake -DGENERATOR=... -DDATA_DIR=... -DOUTPUT_DIR=... -P compare_generated_tables.cmake
file(REMOVE_RECURSE "${OUTPUT_DIR}")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
execute_process(COMMAND "${GENERATOR}" "${DATA_DIR}/nist" "${OUTPUT_DIR}"
                RESULT_VARIABLE generatorResult)
if(NOT generatorResult EQUAL 0)
  message(FATAL_ERROR "velmora-physics-data failed (${generatorResult})")
endif()
foreach(table Water.mix Water.xfs Mus-XP.dat)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                          "${OUTPUT_DIR}/${table}" "${DATA_DIR}/${table}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "data/${table} differs from the generator output in ${OUTPUT_DIR}; "
                        "regenerate with: velmora-physics-data data/nist data")
  endif()
endforeach()
