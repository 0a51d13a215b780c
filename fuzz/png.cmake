vell_add_fuzzer(png_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/png_fuzz.cpp vell_editor)
