# Compile checks of the client headers in include/, shared by both build trees:
#  - each header alone, as C and as C++, against a copy of include/ with nothing beside it
#    (a header that reached outside its folder, or forgot a name, would not compile);
#  - all of them after a client's own UEFI declarations, with
#    PLATFORM_SERVICES_USE_CLIENT_UEFI_TYPES set (ClientTypesCheck.c), as C and as C++.
# The checks are object libraries: they are part of the build, and a header that breaks them
# breaks the build.
set(CLIENT_HEADER_CHECK_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CLIENT_HEADER_COPY ${PROJECT_BINARY_DIR}/client_headers/include)

file(GLOB CLIENT_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/*.h)
foreach(header ${CLIENT_HEADERS})
  get_filename_component(name ${header} NAME)
  configure_file(${header} ${CLIENT_HEADER_COPY}/${name} COPYONLY)
endforeach()

# client_header_checks(SUFFIX option...): one set of checks compiled with the given options.
function(client_header_checks SUFFIX)
  foreach(header ${CLIENT_HEADERS})
    get_filename_component(stem ${header} NAME_WE)
    set(target header_alone_${stem}_${SUFFIX})
    add_library(${target} OBJECT
      ${CLIENT_HEADER_CHECK_DIR}/HeaderAlone.c ${CLIENT_HEADER_CHECK_DIR}/HeaderAlone.cpp)
    target_include_directories(${target} PRIVATE ${CLIENT_HEADER_COPY})
    target_compile_definitions(${target} PRIVATE CLIENT_HEADER="${stem}.h")
    target_compile_options(${target} PRIVATE ${ARGN})
  endforeach()
  set(target client_types_check_${SUFFIX})
  add_library(${target} OBJECT
    ${CLIENT_HEADER_CHECK_DIR}/ClientTypesCheck.c ${CLIENT_HEADER_CHECK_DIR}/ClientTypesCheck.cpp)
  target_include_directories(${target} PRIVATE ${CLIENT_HEADER_COPY})
  target_compile_options(${target} PRIVATE ${ARGN})
endfunction()
