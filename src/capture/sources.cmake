loom_core(ToolLineDecoder.cpp)
loom_core(ScanCommands.cpp)
