loom_core(BuildOutputText.cpp BuildCommands.cpp BuildPlan.cpp OutputWindow.cpp)
if(WIN32)
  loom_win(ReadyToBuild.cpp FinishedView.cpp BuildOutputView_win32.cpp BuildScript_win32.cpp BuildRun_win32.cpp)
endif()
