# Windows build (MinGW-w64): the wizard, the stand-in tools and the test
# programs that run under Wine. The tests themselves are registered by the
# native tree (cmake/native.cmake), which drives Wine.

file(GLOB LOOM_WIN_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/win-*.cmake)
foreach(f ${LOOM_WIN_CMAKE})
  include(${f})
endforeach()
