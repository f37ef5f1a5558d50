# Platform packaging: dependency expressions, the TE form of the PEI module, one FFS file per
# module and the firmware volume Platform.fv, all made by tools/packaging/pack.py. The file
# GUIDs below are the modules' identities in a platform's flash and never change; the README
# and the INF files under integration/ state the same values.
set(PACKER /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/packaging/pack.py)
file(GLOB PACKER_SOURCES ${PROJECT_SOURCE_DIR}/tools/packaging/*.py)

set(PLATFORM_SERVICES_DXE_FILE_GUID 5BED5BE8-B6F5-4D87-946A-3C715E25B645)
set(SPD_PROVIDER_PEI_FILE_GUID 68110C97-2D1F-4FD4-BC42-9DDD53CEE152)
set(EXAMPLE_BOARD_DXE_FILE_GUID 48BF1F74-D994-4C54-B974-E6CDDE874F87)
set(BOARD_SUPPORT_PROTOCOL_GUID_TEXT 64FBE01A-DBE8-4932-9F7B-6C3DD0D610E5)

set(FW ${PROJECT_BINARY_DIR})

# pack_step(OUTPUT file DEPENDS ... ARGS ...): one packer run.
function(pack_step)
  cmake_parse_arguments(STEP "" "OUTPUT" "DEPENDS;ARGS" ${ARGN})
  get_filename_component(name ${STEP_OUTPUT} NAME)
  add_custom_command(OUTPUT ${STEP_OUTPUT}
    COMMAND ${PACKER} ${STEP_ARGS}
    DEPENDS ${STEP_DEPENDS} ${PACKER_SOURCES}
    COMMENT "Packing ${name}" VERBATIM)
endfunction()

pack_step(OUTPUT ${FW}/SpdProviderPei.te DEPENDS SpdProviderPei
  ARGS te ${FW}/SpdProviderPei.te $<TARGET_FILE:SpdProviderPei>)

# The driver starts only once the board support protocol is there; the others need nothing.
pack_step(OUTPUT ${FW}/PlatformServicesDxe.depex
  ARGS depex ${FW}/PlatformServicesDxe.depex "PUSH ${BOARD_SUPPORT_PROTOCOL_GUID_TEXT}")
pack_step(OUTPUT ${FW}/SpdProviderPei.depex ARGS depex ${FW}/SpdProviderPei.depex TRUE)
pack_step(OUTPUT ${FW}/ExampleBoardDxe.depex ARGS depex ${FW}/ExampleBoardDxe.depex TRUE)

pack_step(OUTPUT ${FW}/PlatformServicesDxe.ffs
  DEPENDS PlatformServicesDxe ${FW}/PlatformServicesDxe.depex
  ARGS ffs ${FW}/PlatformServicesDxe.ffs --guid ${PLATFORM_SERVICES_DXE_FILE_GUID} --type DRIVER
       --section DXE_DEPEX=${FW}/PlatformServicesDxe.depex
       --section PE32=$<TARGET_FILE:PlatformServicesDxe> --ui PlatformServicesDxe)
pack_step(OUTPUT ${FW}/SpdProviderPei.ffs
  DEPENDS ${FW}/SpdProviderPei.te ${FW}/SpdProviderPei.depex
  ARGS ffs ${FW}/SpdProviderPei.ffs --guid ${SPD_PROVIDER_PEI_FILE_GUID} --type PEIM
       --section PEI_DEPEX=${FW}/SpdProviderPei.depex
       --section TE=${FW}/SpdProviderPei.te --ui SpdProviderPei)
pack_step(OUTPUT ${FW}/ExampleBoardDxe.ffs
  DEPENDS ExampleBoardDxe ${FW}/ExampleBoardDxe.depex
  ARGS ffs ${FW}/ExampleBoardDxe.ffs --guid ${EXAMPLE_BOARD_DXE_FILE_GUID} --type DRIVER
       --section DXE_DEPEX=${FW}/ExampleBoardDxe.depex
       --section PE32=$<TARGET_FILE:ExampleBoardDxe> --ui ExampleBoardDxe)

# The platform services driver comes first: only its dependency expression makes the
# dispatcher start the board before it.
pack_step(OUTPUT ${FW}/Platform.fv
  DEPENDS ${FW}/PlatformServicesDxe.ffs ${FW}/ExampleBoardDxe.ffs
  ARGS fv ${FW}/Platform.fv ${FW}/PlatformServicesDxe.ffs ${FW}/ExampleBoardDxe.ffs)

# The same volume with the driver's dependency replaced by TRUE, under the same file name in
# its own folder (the volume check reads "Platform.fv"): the check of the dispatch order must
# fail on it.
set(NODEPEX ${FW}/nodepex)
pack_step(OUTPUT ${NODEPEX}/PlatformServicesDxe.ffs
  DEPENDS PlatformServicesDxe ${FW}/ExampleBoardDxe.depex
  ARGS ffs ${NODEPEX}/PlatformServicesDxe.ffs --guid ${PLATFORM_SERVICES_DXE_FILE_GUID}
       --type DRIVER --section DXE_DEPEX=${FW}/ExampleBoardDxe.depex
       --section PE32=$<TARGET_FILE:PlatformServicesDxe> --ui PlatformServicesDxe)
pack_step(OUTPUT ${NODEPEX}/Platform.fv
  DEPENDS ${NODEPEX}/PlatformServicesDxe.ffs ${FW}/ExampleBoardDxe.ffs
  ARGS fv ${NODEPEX}/Platform.fv ${NODEPEX}/PlatformServicesDxe.ffs ${FW}/ExampleBoardDxe.ffs)
file(MAKE_DIRECTORY ${NODEPEX})

add_custom_target(platform_packages ALL DEPENDS
  ${FW}/SpdProviderPei.te ${FW}/SpdProviderPei.ffs ${FW}/PlatformServicesDxe.ffs
  ${FW}/ExampleBoardDxe.ffs ${FW}/Platform.fv ${NODEPEX}/Platform.fv)

# Binary module folders for EDK II platforms: each INF of integration/ beside the binaries it
# lists, ready to be copied into a platform tree.
set(INTEGRATION_OUTPUTS)
foreach(module_files
    "PlatformServicesDxe|$<TARGET_FILE:PlatformServicesDxe>|${FW}/PlatformServicesDxe.depex"
    "SpdProviderPei|${FW}/SpdProviderPei.te|${FW}/SpdProviderPei.depex"
    "ExampleBoardDxe|$<TARGET_FILE:ExampleBoardDxe>|${FW}/ExampleBoardDxe.depex")
  string(REPLACE "|" ";" parts "${module_files}")
  list(GET parts 0 module)
  list(SUBLIST parts 1 -1 binaries)
  set(folder ${FW}/integration/${module})
  set(inf ${PROJECT_SOURCE_DIR}/integration/${module}.inf)
  add_custom_command(OUTPUT ${folder}/${module}.inf
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${binaries} ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${inf} ${folder}
    DEPENDS ${inf} ${binaries} ${module}
    COMMENT "Binary module folder ${module}" VERBATIM)
  list(APPEND INTEGRATION_OUTPUTS ${folder}/${module}.inf)
endforeach()
add_custom_target(integration_folders ALL DEPENDS ${INTEGRATION_OUTPUTS})
