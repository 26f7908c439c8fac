// The program's entry point: the application object runs the wizard.
#include "app/LoomwiseApp.h"
#include "app/StartupTimes.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  loom::MarkStartup("process start to wWinMain");
  loom::CLoomwiseApp app;
  app.InitInstance();
  return app.ExitInstance();
}
