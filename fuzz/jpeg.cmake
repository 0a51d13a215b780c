vell_add_fuzzer(jpeg_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/jpeg_fuzz.cpp vell_editor)
