if(TARGET yarb_front)
  vell_add_fuzzer(unyarb_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/unyarb_fuzz.cpp yarb_front)
endif()
