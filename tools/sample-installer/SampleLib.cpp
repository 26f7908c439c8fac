// sample.dll: the library the sample application loads.
#include <windows.h>

extern "C" __declspec(dllexport) const wchar_t* SampleGreeting() {
  return L"Hello from the sample library. \u4F60\u597D\uFF01";  // 你好！
}
