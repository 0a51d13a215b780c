vell_add_fuzzer(replay_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/replay_fuzz.cpp vell_editor)
