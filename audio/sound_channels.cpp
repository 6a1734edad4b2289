// The three sound channels of the game view: looping music, a voice and an effect, each named
// by a bare file name and played at one of the player's volume levels.
#include <algorithm>
#include <iterator>
#include <string>

#include "app/game_view.h"
#include "app/velmora_app.h"

namespace {

// Hundredths of a decibel for each volume level.
constexpr int kBgmSeVolume[] = {-10000, -5000, -4000, -2000, -1000, -500, -400, -300, -200, 0};
constexpr int kVoiceVolume[] = {-10000, -1500, -1000, -500, -250, 0};

// A level outside the table is held to its nearest entry.
template <std::size_t N>
int VolumeOf(const int (&table)[N], int level) {
  return table[std::clamp(level, 0, static_cast<int>(N) - 1)];
}

}  // namespace

int BgmSeVolume(int level) { return VolumeOf(kBgmSeVolume, level); }
int VoiceVolume(int level) { return VolumeOf(kVoiceVolume, level); }

void CGameView::BgmOn(const char* name, int level) {
  if (!m_bSoundOK) return;
  const std::string path = App().m_strBgmPath + name + ".wav";
  App().m_log.Printf("Bgm ON '%s'\n", path.c_str());
  m_bgmStream.Stop();
  if (!m_bgmStream.Open(m_sound, path)) return;
  m_bgmStream.SetVolume(BgmSeVolume(level));
  m_bgmStream.Start();
}

void CGameView::BgmSetVolume(int level) {
  if (m_bSoundOK) m_bgmStream.SetVolume(BgmSeVolume(level));
}

void CGameView::BgmOff(int flag) {
  (void)flag;
  if (!m_bSoundOK) return;
  App().m_log.Printf("Bgm OFF \n");
  m_bgmStream.Stop();
}

void CGameView::VoiceOn(const char* name, int level) {
  PlayOnce(m_voiceBuffer, App().m_strVoicePath + name + ".mp3", "VOICE ON '%s'\n", VoiceVolume(level));
}

void CGameView::PlayOnce(SoundBuffer& channel, const std::string& path, const char* logFormat, int volume) {
  if (!m_bSoundOK) return;
  App().m_log.Printf(logFormat, path.c_str());
  channel.Stop();
  if (!channel.Load(m_sound, path)) return;
  channel.SetVolume(volume);
  channel.Play();
}

void CGameView::VoiceOff() {
  if (m_bSoundOK) m_voiceBuffer.Stop();
}

void CGameView::SeOn(const char* name, int level) {
  PlayOnce(m_seBuffer, App().m_strSePath + name + ".wav", "SE ON '%s'\n", BgmSeVolume(level));
}

void CGameView::SeOff() {
  if (m_bSoundOK) m_seBuffer.Stop();
}
