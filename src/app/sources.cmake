loom_core(CommandLine.cpp)
if(WIN32)
  loom_win(LoomwiseApp_win32.cpp Settings_win32.cpp Branding_win32.cpp SystemLibrary_win32.cpp StartupTimes_win32.cpp)
endif()
