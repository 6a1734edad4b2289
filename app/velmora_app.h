// The game's application object: finds the program folder, opens the debug log, refuses a
// second copy, fixes the eleven data folders (each from the program folder or, when its sample
// file is missing there, from the installation disc), and creates the main frame.
#pragma once
#include <memory>
#include <string>

#include "app/debug_log.h"
#include "platform/application.h"
#include "platform/instance_lock.h"

class CMainFrame;

class CVelmoraApp : public plat::Application {
 public:
  CVelmoraApp();
  ~CVelmoraApp() override;

  bool InitInstance() override;

  CDebugLog m_log;
  plat::InstanceLock m_hMutex;
  std::string m_strAppPath;
  std::string m_strDiscRoot;
  std::string m_strMiscPath;
  std::string m_strMailPath;
  std::string m_strBgmPath;
  std::string m_strVoicePath;
  std::string m_strEventPath;
  std::string m_strScriptPath;
  std::string m_strSavePath;
  std::string m_strPhotoPath;
  std::string m_strVideoPath;
  std::string m_strRadioPath;
  std::string m_strSePath;
  // The main frame, owned here so it outlives its window and goes with the application.
  std::unique_ptr<CMainFrame> m_pMainFrame;
};

// The running game's application object.
CVelmoraApp& App();

// The single-instance lock's name.
inline constexpr const char* kInstanceMutexName = "ZAMU.VELMORA.1.0";
