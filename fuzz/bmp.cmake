vell_add_fuzzer(bmp_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/bmp_fuzz.cpp vell_editor)
