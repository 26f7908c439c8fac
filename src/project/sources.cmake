loom_core(IniDocument.cpp EntryPoints.cpp ProjectLocation.cpp PackageSettings.cpp)
if(WIN32)
  loom_win(AppListSelect.cpp EntryIcons_win32.cpp ConfigLocation.cpp ConfigMSI.cpp)
endif()
