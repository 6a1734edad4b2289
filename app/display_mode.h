// The desktop's display mode at start-up, and the switch to full-screen use and back.
#pragma once

// The desktop mode as recorded at construction.
struct DisplayModeRecord {
  int dmSize = 148;
  int dmDriverExtra = 0;
  unsigned dmFields = 0;
  int dmPelsWidth = 0;
  int dmPelsHeight = 0;
  int dmBitsPerPel = 0;
  int dmDisplayFrequency = 0;
};

class CDisplayMode {
 public:
  CDisplayMode();
  virtual ~CDisplayMode();

  // Full-screen use at width × height: the picture fills the desktop, letterboxed, without
  // changing the desktop's own resolution. True when in force.
  bool SetMode(int width, int height);
  // Back to the desktop as it was, when SetMode changed anything.
  void Restore();

  DisplayModeRecord m_dmSaved;
  bool m_bChanged = false;
};
