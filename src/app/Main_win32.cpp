// The program's entry point: the application object runs the wizard.
#include "app/LoomwiseApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  loom::CLoomwiseApp app;
  app.InitInstance();
  return app.ExitInstance();
}
