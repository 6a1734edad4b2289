// velmora-databuild CONTENT_FOLDER OUTPUT_FOLDER: writes the sample data set.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argv;
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmora-databuild CONTENT_FOLDER OUTPUT_FOLDER\n");
    return 2;
  }
  return 0;
}
