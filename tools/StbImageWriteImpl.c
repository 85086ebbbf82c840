/* The stb_image_write implementation, for platforms whose package ships only the header. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
