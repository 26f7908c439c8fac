if(WIN32)
  loom_win(Resources.cpp Dialog.cpp DataExchange.cpp Controls.cpp)
endif()
