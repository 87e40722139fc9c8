// The reference decoder the TGA benchmark compares against, compiled here
// with the same optimisation as the engine.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>
