# Firmware tree: freestanding clang objects linked by lld-link into PE32+/PE32 UEFI images.
# Each image picks its own --target (x86_64 or i686 windows) in cmake/FirmwareTree.cmake.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PLATFORM_FIRMWARE_TREE ON)

find_program(FIRMWARE_CLANG NAMES clang clang-14 REQUIRED)
find_program(FIRMWARE_CLANGXX NAMES clang++ clang++-14 REQUIRED)
find_program(FIRMWARE_LLD_LINK NAMES lld-link lld-link-14 REQUIRED)

set(CMAKE_C_COMPILER ${FIRMWARE_CLANG})
set(CMAKE_CXX_COMPILER ${FIRMWARE_CLANGXX})
set(CMAKE_LINKER ${FIRMWARE_LLD_LINK})
# Compiler checks must not try to link a host program with the firmware flags.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_C_LINK_EXECUTABLE "<CMAKE_LINKER> /nologo <LINK_FLAGS> <OBJECTS> /out:<TARGET>")
set(CMAKE_CXX_LINK_EXECUTABLE "<CMAKE_LINKER> /nologo <LINK_FLAGS> <OBJECTS> /out:<TARGET>")
set(CMAKE_EXECUTABLE_SUFFIX ".efi")
set(CMAKE_EXECUTABLE_SUFFIX_C ".efi")
set(CMAKE_EXECUTABLE_SUFFIX_CXX ".efi")
