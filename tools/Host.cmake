# Host tools: boardsim runs the modules on the simulated board from the command line.
add_library(spd_decode STATIC ${PROJECT_SOURCE_DIR}/tools/boardsim/SpdDecode.cpp)
target_include_directories(spd_decode PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(boardsim
  ${PROJECT_SOURCE_DIR}/tools/boardsim/BoardSim.cpp
  ${PROJECT_SOURCE_DIR}/tools/boardsim/BmpCommand.cpp
  ${PROJECT_SOURCE_DIR}/tools/boardsim/DrawLog.cpp
  ${PROJECT_SOURCE_DIR}/tools/boardsim/FlashCommand.cpp
  ${PROJECT_SOURCE_DIR}/tools/boardsim/LogoCommand.cpp
  ${PROJECT_SOURCE_DIR}/tools/boardsim/SpdCommand.cpp)
find_package(CLI11 REQUIRED)
target_link_libraries(boardsim PRIVATE platform_dxe spd_pei spd_decode sim_uefi sim_uefi_display
                      sim_uefi_logo sim_hw CLI11::CLI11)
