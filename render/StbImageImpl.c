/* The stb_image implementation, for platforms whose package ships only the header. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
