if(WIN32)
  loom_win(Resources.cpp Messages.cpp Dialog.cpp DataExchange.cpp Controls.cpp)
endif()
