// The real sound output: an SDL audio device at the mixer's format (SDL converts for the
// hardware), whose callback runs the mixer on SDL's audio thread.
#include <SDL.h>

#include <cstdio>

#include "platform/sound_mixer.h"

namespace plat {
namespace {

class SdlAudioOutput final : public AudioOutput {
 public:
  explicit SdlAudioOutput(std::shared_ptr<MixerCore> core) : core_(std::move(core)) {}
  ~SdlAudioOutput() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool Open() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      std::fprintf(stderr, "Velmora: no sound output (%s)\n", SDL_GetError());
      return false;
    }
    initialised_ = true;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(core_->out.sample_rate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;  // about 46 ms at 22050 Hz
    want.callback = &SdlAudioOutput::Callback;
    want.userdata = core_.get();
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      std::fprintf(stderr, "Velmora: no sound output (%s)\n", SDL_GetError());
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

 private:
  static void SDLCALL Callback(void* userdata, Uint8* stream, int len) {
    static_cast<MixerCore*>(userdata)->MixAndSignal(reinterpret_cast<std::int16_t*>(stream), len / 4);
  }

  std::shared_ptr<MixerCore> core_;
  SDL_AudioDeviceID device_ = 0;
  bool initialised_ = false;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenSdlAudioOutput(std::shared_ptr<MixerCore> core) {
  auto output = std::make_unique<SdlAudioOutput>(std::move(core));
  if (!output->Open()) return nullptr;
  return output;
}

}  // namespace plat
