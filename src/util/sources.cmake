loom_core(Text.cpp)
if(WIN32)
  loom_core(FileIo_win32.cpp)  # the platform half of the portable file interface
else()
  loom_core(FileIo_posix.cpp)
endif()
loom_core(PackageAttributes.cpp PackageAttributesWriter.cpp PathRules.cpp TextEncoding.cpp)
