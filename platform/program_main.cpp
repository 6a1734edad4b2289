// The program entry: the application object was constructed before main; start the backend,
// let the application create its windows, and run the message loop.
#include <cstdio>

#include "platform/application.h"

int main() {
  plat::Application* app = plat::Application::Current();
  if (app == nullptr) {
    std::fprintf(stderr, "no application object\n");
    return 1;
  }
  if (!app->StartBackend()) return 1;
  if (!app->InitInstance()) return 1;
  const int code = app->Run();
  app->StopBackend();
  return code;
}
