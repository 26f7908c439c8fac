loom_core(IniDocument.cpp)
