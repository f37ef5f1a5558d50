# Sources of PlatformServicesDxe. Module code is built into both trees; the firmware-only files
# implement the hardware seam with real instructions and supply the compiler's memory routines.
# Each subsystem folder with a Sources.cmake appends its own module files.
set(PLATFORM_DXE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(PLATFORM_DXE_MODULE_SOURCES
  ${PLATFORM_DXE_DIR}/BoardServices.cpp
  ${PLATFORM_DXE_DIR}/CmosAccess.cpp
  ${PLATFORM_DXE_DIR}/DiskChannelMap.cpp
  ${PLATFORM_DXE_DIR}/DriverEntry.cpp
  ${PLATFORM_DXE_DIR}/FlashWriteEnable.cpp
  ${PLATFORM_DXE_DIR}/ModuleState.cpp
  ${PLATFORM_DXE_DIR}/PoolAllocation.cpp
  ${PLATFORM_DXE_DIR}/ServicesInterface.cpp
  ${PLATFORM_DXE_DIR}/cpu/PciConfig.cpp
  ${PLATFORM_DXE_DIR}/cpu/ProcessorPrimitives.cpp)
foreach(subsystem flash logo)
  if(EXISTS ${PLATFORM_DXE_DIR}/${subsystem}/Sources.cmake)
    include(${PLATFORM_DXE_DIR}/${subsystem}/Sources.cmake)
  endif()
endforeach()
set(PLATFORM_DXE_FIRMWARE_SOURCES
  ${PLATFORM_DXE_DIR}/CompilerSupport.cpp
  ${PLATFORM_DXE_DIR}/cpu/InstructionsX86.cpp)
