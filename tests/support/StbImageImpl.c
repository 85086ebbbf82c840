/* The stb_image implementation the tests decode with, for platforms whose package ships only
   the header. The game has its own (render/ImageDecoder.cpp). */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
