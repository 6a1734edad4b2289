// The game view: the one child window of the frame. It owns the layers, the parts sheet, the
// picture slots and the fonts, holds the current screen's five callbacks, runs the 50 ms scene
// loop and composes the changed part of the layers when it paints.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "audio/sound_engine.h"
#include "graphics/dib_surface.h"
#include "platform/font.h"
#include "platform/geometry.h"
#include "platform/window.h"

class CGameView;
extern CGameView* g_pGameView;

class CGameView : public plat::Window {
 public:
  using LeaveFn = void (*)();
  using MouseFn = void (*)(unsigned flags, int x, int y);
  using TickFn = void (*)();

  CGameView();
  ~CGameView() override;

  // Calls the leave callback, hides the edge tab and clears the five slots.
  void LeaveScreen();
  // m_rcDirty becomes the smallest rectangle holding it and `rect`.
  void AddDirty(const plat::Rect& rect);
  // Asks for a repaint of m_rcDirty (no erase).
  void InvalidateDirty();
  void ShowEdgeTab();
  void HideEdgeTab();
  void SetEdgeHover(int hit);
  // Builds `rect` of the frame layer from the other layers.
  void ComposeFrame(const plat::Rect& rect);

  bool PreCreateWindow();
  void InitResources();
  void InitSoundAndTimer();

  int OnCreate() override;
  void OnDestroy() override;
  void OnPaint(plat::PaintContext& pc) override;
  void OnTimer(unsigned timer_id) override;
  void OnMouseMove(unsigned flags, int x, int y) override;
  void OnLButtonDown(unsigned flags, int x, int y) override;
  void OnLButtonUp(unsigned flags, int x, int y) override;
  bool OnCommand(int command) override;

  // Sound channels: music (looping WAVE), voice (MPEG audio), effect (WAVE), by bare file name
  // and volume level.
  void BgmOn(const char* name, int level);
  void BgmSetVolume(int level);
  void BgmOff(int flag);
  void VoiceOn(const char* name, int level);
  void VoiceOff();
  void SeOn(const char* name, int level);
  void SeOff();
  // The voice and effect channels: stop the channel, load the file, play it once at `volume`.
  void PlayOnce(SoundBuffer& channel, const std::string& path, const char* logFormat, int volume);

  // The day loop: runs the current phase of the current time slot; the phase's screen has ended.
  void GameDo();
  void NextPhase();
  // Starts a scene: `resume` is 0 for a scene reached in play, 1 for one entered from a save.
  void PlayScript(const char* name, int resume);

  LeaveFn m_pfnLeave = nullptr;
  MouseFn m_pfnMouseMove = nullptr;
  MouseFn m_pfnMouseUp = nullptr;
  MouseFn m_pfnMouseDown = nullptr;
  TickFn m_pfnTick = nullptr;
  std::int16_t m_nEdgeHover = -1;
  std::int16_t m_nEdgePressed = -1;
  bool m_bEdgeTab = false;
  plat::Rect m_rcDirty;
  plat::Rect m_rcScreen;
  std::unique_ptr<plat::Font> m_fontLarge;
  std::unique_ptr<plat::Font> m_fontSmall;
  CDibSurface m_surfBack;
  CDibSurface m_surfFrame;
  CDibSurface m_surfTop;
  CDibSurface m_surfMiddle;
  bool m_bMiddleOn = false;
  CDibSurface m_surfPicture;
  CDibSurface m_surfSlots[22];
  CDibSurface m_surfParts;
  std::int16_t m_nFadeStep = 8;
  std::int16_t m_nPictureLevel = 4;
  std::int16_t m_nMiddleLevel = 4;
  bool m_bSoundOK = false;
  SoundDevice m_sound;
  SoundBuffer m_seBuffer;
  SoundBuffer m_voiceBuffer;
  SoundStream m_bgmStream;
};

// Hundredths of a decibel for a music-or-effect level and for a voice level.
int BgmSeVolume(int level);
int VoiceVolume(int level);

// The edge tab's mouse logic (hit-testing, highlight, the click that opens the in-game menu),
// which the screen framework installs; the view runs it before the screen's own callback.
struct EdgeTabLogic {
  CGameView::MouseFn move = nullptr;
  CGameView::MouseFn down = nullptr;
  CGameView::MouseFn up = nullptr;
};
void SetEdgeTabLogic(const EdgeTabLogic& logic);

// Colours of the layers.
inline constexpr plat::Color kBlack{0, 0, 0};
inline constexpr plat::Color kKeyGreen{0, 255, 0};
