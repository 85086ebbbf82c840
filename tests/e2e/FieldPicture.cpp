// The desktop's first-picture checks and paddle reading, for screenshots taken elsewhere (the web
// tests' browser). For each PNG named prints one line of JSON: what differs from the picture a
// level starts with ([] if nothing), the paddle's left edge on its middle row (-1 if not seen),
// and the share of the resting ball's disc that shows background. Exits 2 if a file can't be read.
#include "Assets.h"
#include "ExpectedBackground.h"
#include "FieldLayout.h"
#include "GameChecks.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const ExpectedBackground background{sourceAsset("background.jpg").string()};
    for (int i = 1; i < argc; ++i) {
        Image shot;
        try {
            shot = loadImageFile(argv[i]);
        } catch (const std::exception& error) {
            std::cerr << error.what() << "\n";
            return 2;
        }
        // The texts hold no quotes or backslashes.
        std::cout << "{\"startFaults\": [";
        const std::vector<std::string> faults = startPictureFaults(shot, background);
        for (size_t f = 0; f < faults.size(); ++f)
            std::cout << (f ? ", \"" : "\"") << faults[f] << "\"";
        const bool field = shot.width == fieldSize && shot.height == fieldSize;
        std::cout << "], \"paddleLeftEdge\": "
                  << (field ? paddleLeftEdge(shot, background, layout::paddle.y + layout::paddle.height / 2) : -1)
                  << ", \"ballPlaceShowsBackground\": " << (field ? ballPlaceShowsBackground(shot, background) : 0.0)
                  << "}" << std::endl;
    }
    return 0;
}
