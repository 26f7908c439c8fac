loom_core(TernaryMap.cpp FolderPlatform.cpp FolderTables.cpp FolderResolver.cpp
          FolderMacros.cpp MacroConversion.cpp MemoryFolderPlatform.cpp)
if(WIN32)
  loom_core(FolderPlatform_win32.cpp)  # the real system behind the table
else()
  loom_core(FolderPlatform_posix.cpp)
endif()
