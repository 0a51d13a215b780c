vell_add_fuzzer(bmpfile_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/bmpfile_fuzz.cpp vell_editor)
