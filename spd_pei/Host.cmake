# SpdProviderPei module code for the host tree; its hardware seam is the simulated board.
add_library(spd_pei STATIC ${PROJECT_SOURCE_DIR}/spd_pei/SpdProviderPei.cpp)
target_include_directories(spd_pei PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(spd_pei PUBLIC sim_hw)
