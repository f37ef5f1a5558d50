# Firmware-level checks: FirmwareCheck.efi and PlatformDemo.efi, booted in OVMF under QEMU
# by tools/qemu/run_ovmf.py, and the PE image checks of every image this tree builds.
set(FIRMWARE_CHECK_DIR ${CMAKE_CURRENT_LIST_DIR})
set(FIRMWARE_CHECK_COMMON_SOURCES
  ${PROJECT_SOURCE_DIR}/platform_dxe/CompilerSupport.cpp
  ${FIRMWARE_CHECK_DIR}/Console.cpp
  ${FIRMWARE_CHECK_DIR}/QemuExit.cpp
  ${FIRMWARE_CHECK_DIR}/RtcClock.cpp
  ${FIRMWARE_CHECK_DIR}/SerialPort.cpp
  ${FIRMWARE_CHECK_DIR}/SiblingImage.cpp
  ${FIRMWARE_CHECK_DIR}/TextLine.cpp)

add_efi_image(FirmwareCheck
  ARCH x64 ENTRY FirmwareCheckEntry SUBSYSTEM efi_application
  SOURCES
    ${FIRMWARE_CHECK_DIR}/FirmwareCheck.cpp
    ${FIRMWARE_CHECK_DIR}/CheckReport.cpp
    ${FIRMWARE_CHECK_DIR}/CheckLoading.cpp
    ${FIRMWARE_CHECK_DIR}/CheckInterface.cpp
    ${FIRMWARE_CHECK_DIR}/CheckBoard.cpp
    ${FIRMWARE_CHECK_DIR}/CheckCmos.cpp
    ${FIRMWARE_CHECK_DIR}/CheckDiskChannelMap.cpp
    ${FIRMWARE_CHECK_DIR}/CheckPciExpressAddress.cpp
    ${FIRMWARE_CHECK_DIR}/CheckPlatformCall.cpp
    ${FIRMWARE_CHECK_DIR}/CheckProcessorServices.cpp
    ${FIRMWARE_CHECK_DIR}/CheckSharedData.cpp
    ${FIRMWARE_CHECK_COMMON_SOURCES})

add_efi_image(PlatformVolumeCheck
  ARCH x64 ENTRY PlatformVolumeCheckEntry SUBSYSTEM efi_application
  SOURCES
    ${FIRMWARE_CHECK_DIR}/PlatformVolumeCheck.cpp
    ${FIRMWARE_CHECK_DIR}/CheckReport.cpp
    ${FIRMWARE_CHECK_COMMON_SOURCES})

# The boot logo inside OVMF. It links the driver's bitmap decoder to read what the board
# serves and what the firmware publishes.
set(FIRMWARE_LOGO_CHECK_SOURCES
  ${FIRMWARE_CHECK_DIR}/AcpiBgrt.cpp
  ${FIRMWARE_CHECK_DIR}/LogoPictures.cpp
  ${FIRMWARE_CHECK_DIR}/LogoModuleState.cpp
  ${FIRMWARE_CHECK_DIR}/ScreenshotHandshake.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/PoolAllocation.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/BitmapDecoder.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/BitmapFile.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/BitmapRows.cpp
  ${PROJECT_SOURCE_DIR}/platform_dxe/logo/Rle8Decoder.cpp)
add_efi_image(LogoCheck
  ARCH x64 ENTRY LogoCheckEntry SUBSYSTEM efi_application
  SOURCES
    ${FIRMWARE_CHECK_DIR}/LogoCheck.cpp
    ${FIRMWARE_CHECK_DIR}/CheckReport.cpp
    ${FIRMWARE_LOGO_CHECK_SOURCES}
    ${FIRMWARE_CHECK_COMMON_SOURCES})

add_efi_image(PlatformDemo
  ARCH x64 ENTRY PlatformDemoEntry SUBSYSTEM efi_application
  SOURCES
    ${FIRMWARE_CHECK_DIR}/PlatformDemo.cpp
    ${FIRMWARE_CHECK_DIR}/DemoLogo.cpp
    ${FIRMWARE_LOGO_CHECK_SOURCES}
    ${FIRMWARE_CHECK_COMMON_SOURCES})

# ---- Tests: PE image checks, then the checks inside OVMF ----
set(FIRMWARE_PYTHON /usr/bin/python3)
set(PE_IMAGE_CHECKER ${PROJECT_SOURCE_DIR}/tools/check_pe_image.py)
set(OVMF_RUNNER ${PROJECT_SOURCE_DIR}/tools/qemu/run_ovmf.py)

add_test(NAME pe_image_checker_selftest
  COMMAND ${FIRMWARE_PYTHON} ${FIRMWARE_CHECK_DIR}/check_pe_image_test.py)
# The screenshot judge of the logo checks, on synthetic right and wrong screens.
add_test(NAME logo_screen_checker_selftest
  COMMAND ${FIRMWARE_PYTHON} ${FIRMWARE_CHECK_DIR}/logo_screen_check_test.py)

function(add_image_check IMAGE)
  add_test(NAME image_check_${IMAGE}
    COMMAND ${FIRMWARE_PYTHON} ${PE_IMAGE_CHECKER} $<TARGET_FILE:${IMAGE}> --magic pe32+
            --machine amd64 ${ARGN})
endfunction()
# The driver keeps absolute addresses in its data, so it must carry fix-ups for them. The
# other images may legitimately have none (all their addresses are computed at run time);
# for them the checker still rejects stripped relocations.
add_image_check(PlatformServicesDxe --subsystem efi_boot_service_driver --require-relocations)
add_image_check(ExampleBoardDxe --subsystem efi_boot_service_driver)
add_image_check(FirmwareCheck --subsystem efi_application)
add_image_check(PlatformDemo --subsystem efi_application)
add_image_check(PlatformVolumeCheck --subsystem efi_application)

# One boot of OVMF under TCG takes 4-8 s here; the runner's own timeout ends a hung boot
# first, the ctest timeout is the backstop.
set(OVMF_RUN_TIMEOUT 60)
add_test(NAME ovmf_firmware_check
  COMMAND ${FIRMWARE_PYTHON} ${OVMF_RUNNER}
          --app $<TARGET_FILE:FirmwareCheck>
          --file $<TARGET_FILE:ExampleBoardDxe>
          --file $<TARGET_FILE:PlatformServicesDxe>
          --work-dir ${PROJECT_BINARY_DIR}/ovmf/firmware_check
          --timeout ${OVMF_RUN_TIMEOUT}
          --summary FirmwareCheck)
# Two TCG guests at once on a small machine only slow each other down.
set_tests_properties(ovmf_firmware_check PROPERTIES TIMEOUT 90 RESOURCE_LOCK ovmf)

# The same check with the board image left off the volume must say FAIL, through the exit
# device and the log: a runner or check that cannot fail proves nothing.
add_test(NAME ovmf_firmware_check_without_board_fails
  COMMAND ${FIRMWARE_PYTHON} ${OVMF_RUNNER}
          --app $<TARGET_FILE:FirmwareCheck>
          --file $<TARGET_FILE:PlatformServicesDxe>
          --work-dir ${PROJECT_BINARY_DIR}/ovmf/firmware_check_without_board
          --timeout ${OVMF_RUN_TIMEOUT}
          --summary FirmwareCheck)
string(CONCAT WITHOUT_BOARD_OUTPUT
  "FAIL loading\\.board_starts: LoadImage returned 0x800000000000000E.*"
  "FirmwareCheck: [0-9]+ passed, [1-9][0-9]* failed.*"
  "run_ovmf: FAIL in")
set_tests_properties(ovmf_firmware_check_without_board_fails PROPERTIES
  TIMEOUT 90 RESOURCE_LOCK ovmf PASS_REGULAR_EXPRESSION "${WITHOUT_BOARD_OUTPUT}")

# Platform.fv handed to OVMF's own DXE dispatcher: the board support and service protocols
# must both be there afterwards. The volume lists the driver before the board, so this passes
# only when the dispatcher honours the driver's dependency expression.
add_test(NAME ovmf_platform_volume_check
  COMMAND ${FIRMWARE_PYTHON} ${OVMF_RUNNER}
          --app $<TARGET_FILE:PlatformVolumeCheck>
          --file ${PROJECT_BINARY_DIR}/Platform.fv
          --work-dir ${PROJECT_BINARY_DIR}/ovmf/platform_volume_check
          --timeout ${OVMF_RUN_TIMEOUT}
          --summary PlatformVolumeCheck)
set_tests_properties(ovmf_platform_volume_check PROPERTIES TIMEOUT 90 RESOURCE_LOCK ovmf)

# The same volume with the driver's dependency expression replaced by TRUE: the driver then
# starts first, finds no board and installs nothing, and the check must say so while the board
# itself still arrives from the volume.
add_test(NAME ovmf_platform_volume_check_without_dependency_fails
  COMMAND ${FIRMWARE_PYTHON} ${OVMF_RUNNER}
          --app $<TARGET_FILE:PlatformVolumeCheck>
          --file ${PROJECT_BINARY_DIR}/nodepex/Platform.fv
          --work-dir ${PROJECT_BINARY_DIR}/ovmf/platform_volume_check_without_dependency
          --timeout ${OVMF_RUN_TIMEOUT}
          --summary PlatformVolumeCheck)
string(CONCAT WITHOUT_DEPENDENCY_OUTPUT
  "PASS volume\\.dispatch.*"
  "PASS volume\\.board_support_installed.*"
  "FAIL volume\\.services_installed: expected 0x0 got 0x800000000000000E.*"
  "PlatformVolumeCheck: [0-9]+ passed, [1-9][0-9]* failed.*"
  "run_ovmf: FAIL in")
set_tests_properties(ovmf_platform_volume_check_without_dependency_fails PROPERTIES
  TIMEOUT 90 RESOURCE_LOCK ovmf PASS_REGULAR_EXPRESSION "${WITHOUT_DEPENDENCY_OUTPUT}")

include(${FIRMWARE_CHECK_DIR}/xip/Firmware.cmake)

# The boot logo inside OVMF, one boot per board variant: LogoCheck's own checks (framebuffer,
# BGRT, graphics mode, text restore) decide the run's verdict, and the screenshots it asks for
# are then judged pixel by pixel (badge text, black background) by logo_screen_check.py.
foreach(variant handoff ordinary)
  if(variant STREQUAL "handoff")
    set(board ExampleBoardDxe)
  else()
    set(board ExampleBoardNoHandOffDxe)
  endif()
  add_test(NAME ovmf_logo_check_${variant}
    COMMAND ${FIRMWARE_PYTHON} ${FIRMWARE_CHECK_DIR}/logo_ovmf_test.py
            --variant ${variant}
            --app $<TARGET_FILE:LogoCheck>
            --board $<TARGET_FILE:${board}>
            --driver $<TARGET_FILE:PlatformServicesDxe>
            --work-dir ${PROJECT_BINARY_DIR}/ovmf/logo_check_${variant}
            --timeout ${OVMF_RUN_TIMEOUT})
  set_tests_properties(ovmf_logo_check_${variant} PROPERTIES TIMEOUT 120 RESOURCE_LOCK ovmf)
endforeach()
add_image_check(LogoCheck --subsystem efi_application)
add_image_check(ExampleBoardNoHandOffDxe --subsystem efi_boot_service_driver)
