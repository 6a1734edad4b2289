// The pictures of the data set's movies: small calm animated scenes drawn in code.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace databuild {

// The scenes a movie can show.
enum class MovieScene { kSky, kSea, kNight, kPetals, kSnowWindow };

class MovieFrames {
 public:
  // `name` chooses the look: "op" is the opening movie (a sunny sky, a sunset by the sea, then
  // the night sky with the title card "Velmora"); any other name shows one scene chosen by the
  // name. `count` pictures make the whole movie.
  MovieFrames(const std::string& name, int width, int height, int count);
  ~MovieFrames();
  MovieFrames(const MovieFrames&) = delete;
  MovieFrames& operator=(const MovieFrames&) = delete;

  // Paints picture `index` (0 .. count-1) as width × height pixels, 3 bytes each in red-green-
  // blue order, rows top-down.
  void Paint(int index, std::vector<std::uint8_t>* rgb);

  static MovieScene SceneForName(const std::string& name);

 private:
  struct Title;
  void PaintScene(MovieScene scene, double t, double progress, std::vector<float>* rgb) const;

  std::string name_;
  int width_, height_, count_;
  std::unique_ptr<Title> title_;
};

}  // namespace databuild
