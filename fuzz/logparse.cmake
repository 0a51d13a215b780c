vell_add_fuzzer(logparse_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/logparse_fuzz.cpp vell_editor)
