// The start-up's image work with no window: the four images read and decoded as the texture
// store decodes them, each with the channels its texture is uploaded with.
//   image_benchmark [Google Benchmark flags]   times the four decodes
//   image_benchmark --once                     decodes them once, for valgrind's massif, which
//                                              scripts/bench runs to find their peak heap
// Run it from the folder that holds the game's images.
#include "render/ImageDecoder.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

struct ImageFile {
    const char* name;
    bool hasAlpha;
};

const ImageFile gameImages[] = {
    {"paddle.png", true}, {"awesomeface_01.png", true}, {"block.png", false}, {"background.jpg", false}};

// The pixels decoded, which are 0 if an image did not decode.
long decodeGameImages()
{
    long pixels = 0;
    for (const ImageFile& image : gameImages) {
        const DecodedImage decoded = decodeImageFile(image.name, channelsFor(image.hasAlpha));
        pixels += static_cast<long>(decoded.width) * decoded.height;
    }
    return pixels;
}

void loadImages(benchmark::State& state)
{
    const long expected = decodeGameImages();
    if (expected == 0)
        state.SkipWithError("run it from the folder that holds the game's images");
    for (auto _ : state)
        if (decodeGameImages() != expected)
            state.SkipWithError("an image decoded differently");
    state.SetLabel("the four images, read and decoded");
}
BENCHMARK(loadImages)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--once") == 0)
        return decodeGameImages() > 0 ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
