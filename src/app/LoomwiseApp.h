// The application object: initialises COM and the controls the pages use,
// runs the main wizard window modally, and ends the program with it.
#pragma once

#include <windows.h>

namespace loom {

class CLoomwiseApp {
 public:
  BOOL InitInstance();  // false: no message loop runs after the main window
  int ExitInstance();
};

}  // namespace loom
