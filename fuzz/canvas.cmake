vell_add_fuzzer(canvas_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/canvas_fuzz.cpp vell_imaging)
