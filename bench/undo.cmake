# The Apply road (snapshot, operation, log line) on a 4096 x 4096 picture;
# bench/undo_compare.sh runs it beside libvips.
add_executable(undo_bench ${CMAKE_CURRENT_LIST_DIR}/undo_bench.cpp)
target_link_libraries(undo_bench PRIVATE vell_editor benchmark::benchmark)
target_include_directories(undo_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(undo_bench PRIVATE -O3)
