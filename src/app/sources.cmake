loom_core(CommandLine.cpp)
