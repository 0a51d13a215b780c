# Image file speed; bench/files_compare.sh runs files_bench beside ImageMagick, libvips,
# cjpeg and djpeg.
add_executable(files_bench ${CMAKE_CURRENT_LIST_DIR}/files_bench.cpp)
target_link_libraries(files_bench PRIVATE vell_editor benchmark::benchmark)
target_compile_options(files_bench PRIVATE ${VELL_FAST_FLAGS})
