vell_add_fuzzer(installlog_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/installlog_fuzz.cpp yarb_walk yarb_log yarb_platform)
