# The Windows build takes its third-party code from the same Debian packages as the Linux build:
# the MinGW sysroot has none of them. CLI11 and xxHash are headers (xxHash's implementation is
# compiled in, src/CMakeLists.txt); GoogleTest is built from the source that libgtest-dev ships.
set(XSC_DEBIAN_HEADERS ${CMAKE_BINARY_DIR}/debian-headers)
file(MAKE_DIRECTORY ${XSC_DEBIAN_HEADERS})
foreach(header CLI xxhash.h)
  if(NOT EXISTS /usr/include/${header})
    message(FATAL_ERROR "/usr/include/${header} is missing: install libcli11-dev and libxxhash-dev")
  endif()
  # Linked one by one: the sysroot must not see the rest of the build machine's /usr/include.
  file(CREATE_LINK /usr/include/${header} ${XSC_DEBIAN_HEADERS}/${header} SYMBOLIC)
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${XSC_DEBIAN_HEADERS})

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# (It defines the GTest::gtest and GTest::gtest_main targets that find_package gives elsewhere.)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
