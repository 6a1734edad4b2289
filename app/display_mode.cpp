#include "app/display_mode.h"

#include "platform/application.h"

namespace {
constexpr unsigned kFieldWidth = 0x80000, kFieldHeight = 0x100000, kFieldBits = 0x40000;
}

CDisplayMode::CDisplayMode() {
  m_bChanged = false;
  m_dmSaved = DisplayModeRecord{};
  if (plat::Application* app = plat::Application::Current(); app != nullptr) {
    const plat::Rect screen = app->ScreenRect();
    m_dmSaved.dmPelsWidth = screen.width();
    m_dmSaved.dmPelsHeight = screen.height();
  }
  m_dmSaved.dmBitsPerPel = 24;
  m_dmSaved.dmFields = kFieldWidth | kFieldHeight | kFieldBits;
}

CDisplayMode::~CDisplayMode() { Restore(); }

bool CDisplayMode::SetMode(int width, int height) {
  // The desktop keeps its resolution: the width × height picture is scaled to fill it.
  (void)width;
  (void)height;
  plat::Application* app = plat::Application::Current();
  if (app == nullptr || !app->SetFullScreen(true)) return false;
  m_bChanged = true;
  return true;
}

void CDisplayMode::Restore() {
  if (!m_bChanged) return;
  if (plat::Application* app = plat::Application::Current(); app != nullptr) app->SetFullScreen(false);
  m_bChanged = false;
}
