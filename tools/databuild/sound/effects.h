// The data set's sound effects, chosen by name.
#pragma once
#include <string>
#include <vector>

namespace databuild {

// The samples of the effect chosen by `name` at kSampleRate (well under two seconds). The
// program's own effects ("click", "soundtest", "A5_02042", "se") have sounds of their own; any
// other name gets a short chime or sweep made from the name.
std::vector<float> RenderEffect(const std::string& name);

}  // namespace databuild
