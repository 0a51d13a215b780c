# Two-colour gradient rendering; bench/gradient_compare.sh sets it beside ImageMagick.
add_executable(gradient_bench ${CMAKE_CURRENT_LIST_DIR}/gradient_bench.cpp)
target_link_libraries(gradient_bench PRIVATE vell_dialogs vell_imaging benchmark::benchmark)
target_compile_options(gradient_bench PRIVATE ${VELL_FAST_FLAGS})
