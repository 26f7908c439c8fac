loom_core(BuildOutputText.cpp)
