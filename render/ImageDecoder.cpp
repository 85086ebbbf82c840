#include "render/ImageDecoder.h"
