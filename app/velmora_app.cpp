#include "app/velmora_app.h"

#include <cstdlib>

#include "app/app_utils.h"
#include "app/main_frame.h"
#include "platform/dialog.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "resources/game_resources.h"

CVelmoraApp& App() { return *static_cast<CVelmoraApp*>(plat::Application::Current()); }

namespace {

struct DataFolder {
  std::string CVelmoraApp::*member;
  const char* folder;
  const char* sample;  // name + extension; null: always the program folder
  const char* log_format;
};

const DataFolder kDataFolders[] = {
    {&CVelmoraApp::m_strSavePath, "save/", nullptr, "PATH SAVE = %s\n"},
    {&CVelmoraApp::m_strEventPath, "ev/", "sEventList.csv", "PATH EVENT TB = %s\n"},
    {&CVelmoraApp::m_strMailPath, "mail/", "001_01.txt", "PATH MAIL = %s\n"},
    {&CVelmoraApp::m_strBgmPath, "media/bgm/", "BGM01.wav", "PATH BGM = %s\n"},
    {&CVelmoraApp::m_strPhotoPath, "media/photo/", "P004_01.bmp", "PATH PICT = %s\n"},
    {&CVelmoraApp::m_strRadioPath, "media/radio/", "R_end.mp3", "PATH RADIO = %s\n"},
    {&CVelmoraApp::m_strSePath, "media/se/", "se.wav", "PATH SE = %s\n"},
    {&CVelmoraApp::m_strVideoPath, "media/video/", "vA020_01.wmv", "PATH VIDEO = %s\n"},
    {&CVelmoraApp::m_strVoicePath, "media/voice/", "A009_00.mp3", "PATH VOICE = %s\n"},
    {&CVelmoraApp::m_strMiscPath, "misc/", "mail256.bmp", "PATH MISC = %s\n"},
    {&CVelmoraApp::m_strScriptPath, "script/", "001_00.sin", "PATH SCRIPT = %s\n"},
};

}  // namespace

CVelmoraApp::CVelmoraApp() {
  // The program's folder, ending in '/'.
  m_strAppPath = plat::ModuleFolder();

  m_log.Open(m_strAppPath + "LOG/");

  // Refuse to run beside another copy: end at once, no window, no message.
  if (m_hMutex.Acquire(kInstanceMutexName) == plat::LockResult::kHeldElsewhere) {
    m_log.Printf("多重起動検出\n");
    std::exit(-1);
  }

  m_log.Printf("App Path = '%s'\n", m_strAppPath.c_str());

  // The game's folder on the first optical drive, A to Y.
  m_strDiscRoot.clear();
  for (char letter = 'A'; letter <= 'Y'; ++letter) {
    if (plat::GetDriveType(letter) == plat::DriveType::kCdRom) {
      m_strDiscRoot = plat::DriveRoot(letter) + "/velmora/Program Files/zamu/velmora/";
      break;
    }
  }

  int missing = 0;
  for (const DataFolder& f : kDataFolders) {
    std::string& path = this->*f.member;
    path = m_strAppPath + f.folder;
    if (f.sample != nullptr && !FileExists(path + f.sample)) {
      path = m_strDiscRoot + f.folder;
      if (!FileExists(path + f.sample)) ++missing;
    }
    m_log.Printf(f.log_format, path.c_str());
  }

  if (missing > 0) {
    plat::ShowMessageBox(nullptr, "Velmora CD-ROMを挿入てから開始して下さい", "Velmora の起動に失敗しました",
                         plat::MessageBoxButtons::kOk, plat::DialogIcon::kStop);
    std::exit(-1);
  }
}

CVelmoraApp::~CVelmoraApp() {
  m_pMainFrame.reset();
  m_hMutex.Release();
  m_log.Printf("---終了---");
}

bool CVelmoraApp::InitInstance() {
  plat::SetApplicationIcon(ApplicationIcon());
  m_pMainFrame = std::make_unique<CMainFrame>();
  CMainFrame* frame = m_pMainFrame.get();
  set_main_window(frame);
  if (!frame->LoadFrame(IDR_MAINFRAME)) {
    // Without a window there is no game: end instead of running an empty loop.
    set_main_window(nullptr);
    m_pMainFrame.reset();
    return false;
  }
  frame->ShowWindow();
  frame->UpdateWindow();
  return true;
}
