# The capture tool's portable half (snapshot format, merge, suggestion,
# generation plan); its Win32 half is built by cmake/win-capture.cmake.
loom_core(SnapshotFormat.cpp SnapshotMerge.cpp Exclusions.cpp ProjectSuggestion.cpp
          GenerationPlan.cpp ToolCommand.cpp RegFile.cpp)
