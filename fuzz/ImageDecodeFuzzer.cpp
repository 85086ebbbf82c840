// Feeds arbitrary bytes to the image decoder, the way the texture store hands it a file's
// content, asking for 3 and then for 4 channels. A decoded image must hold exactly
// width × height × channels bytes: every one of them is read (and summed, so that the reads
// stay), which stops AddressSanitizer at the first byte that is missing. Run under valgrind
// (the replay, image_decode_replay), memcheck also checks that every byte was written: no
// uninitialised memory may reach a texture. A failed decode must come back as the empty image.
#include "render/ImageDecoder.h"

#include <valgrind/memcheck.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

volatile unsigned pixelSum = 0;

void decodeAndTouch(const uint8_t* data, std::size_t size, int channels)
{
    const DecodedImage image = decodeImageMemory(data, size, channels);
    if (image.pixels == nullptr) {
        if (image.width != 0 || image.height != 0 || image.channels != 0)
            std::abort();
        return;
    }
    if (image.width <= 0 || image.height <= 0 || image.channels != channels)
        std::abort();
    const std::size_t bytes =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * static_cast<std::size_t>(channels);
    // Outside valgrind this does nothing.
    if (VALGRIND_CHECK_MEM_IS_DEFINED(image.pixels, bytes) != 0)
        std::abort();
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        sum += image.pixels[i];
    pixelSum = pixelSum + sum;
}

}  // namespace

// The fuzzer's own sanitizer settings, so that running the program is all it takes: any
// report stops it, except the one case that ubsan.supp names.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1:suppressions=" ZORVEX_UBSAN_SUPPRESSIONS;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    decodeAndTouch(data, size, 3);
    decodeAndTouch(data, size, 4);
    return 0;
}
