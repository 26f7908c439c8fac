loom_core(Steps.cpp)
