# GIF coding beside giflib; bench/gif_compare.sh prints the ratios.
find_package(GIF REQUIRED)
add_executable(gif_bench ${CMAKE_CURRENT_LIST_DIR}/gif_bench.cpp)
target_link_libraries(gif_bench PRIVATE vell_gif GIF::GIF benchmark::benchmark)
target_compile_options(gif_bench PRIVATE ${VELL_FAST_FLAGS})
