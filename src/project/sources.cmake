loom_core(IniDocument.cpp EntryPoints.cpp ProjectLocation.cpp PackageSettings.cpp CaptureReport.cpp)
if(WIN32)
  loom_win(AppListSelect.cpp EntryIcons_win32.cpp ConfigLocation.cpp ConfigMSI.cpp LocationPlatform_win32.cpp)
endif()
