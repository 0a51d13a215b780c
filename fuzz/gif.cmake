vell_add_fuzzer(gif_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/gif_fuzz.cpp vell_gif)
