# SpdProviderPei's own images (PE32 and TE) executed in place in a 32-bit process under
# qemu-i386: the runner is a 32-bit Linux program, built with the host's gcc -m32 (static, so
# qemu-i386 needs no 32-bit loader), not with the firmware toolchain.
find_program(HOST_GCC gcc)
find_program(QEMU_I386 qemu-i386)
if(NOT HOST_GCC OR NOT QEMU_I386)
  message(FATAL_ERROR "gcc (with gcc-multilib) and qemu-i386 (qemu-user) run the IA-32 image "
                      "checks: install them with tools/install-deps")
endif()

set(SPD_IMAGE_RUNNER ${PROJECT_BINARY_DIR}/SpdImageRunner)
add_custom_command(OUTPUT ${SPD_IMAGE_RUNNER}
  COMMAND ${HOST_GCC} -m32 -static -O2 -Wall -Wextra -Werror
          -o ${SPD_IMAGE_RUNNER} ${CMAKE_CURRENT_LIST_DIR}/SpdImageRunner.c
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/SpdImageRunner.c
  COMMENT "Building the 32-bit SPD image runner" VERBATIM)
add_custom_target(spd_image_runner ALL DEPENDS ${SPD_IMAGE_RUNNER})

add_test(NAME spd_images_run_in_place
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/spd_image_run_test.py)
set_tests_properties(spd_images_run_in_place PROPERTIES TIMEOUT 120 ENVIRONMENT
  "SPD_IMAGE_RUNNER=${SPD_IMAGE_RUNNER};SPD_IMAGES=$<TARGET_FILE:SpdProviderPei>:${PROJECT_BINARY_DIR}/SpdProviderPei.te;QEMU_I386=${QEMU_I386}")
