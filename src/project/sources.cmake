loom_core(IniDocument.cpp)
if(WIN32)
  loom_win(ConfigLocation.cpp)
endif()
