vell_add_fuzzer(regfile_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/regfile_fuzz.cpp yarb_platform)
