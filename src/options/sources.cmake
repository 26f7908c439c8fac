loom_core(OptionEdits.cpp)
if(WIN32)
  loom_win(ConfigMeridel.cpp ConfigAuth.cpp ConfigSandbox.cpp ConfigIsolationMode.cpp ConfigQualityAgent.cpp
           ConfigRoutelle.cpp ConfigAppSync.cpp OptionDialogs_win32.cpp BasePackage_win32.cpp)
endif()
