# The seam score of a 4096 x 4096 tile; bench/seam_compare.sh runs it beside
# ImageMagick and libvips.
add_executable(seam_bench ${CMAKE_CURRENT_LIST_DIR}/seam_bench.cpp)
target_link_libraries(seam_bench PRIVATE vell_imaging benchmark::benchmark)
target_include_directories(seam_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(seam_bench PRIVATE -O3)
