# The platform files of this build (volume, FFS files, TE image, INF folders) read back
# independently of the packer.
add_test(NAME platform_files
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/platform_files_test.py)
set_tests_properties(platform_files PROPERTIES ENVIRONMENT
  "PLATFORM_BUILD_DIR=${PROJECT_BINARY_DIR};PLATFORM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
