// Shows the win message, as the game does, and exits 0 once it has been dismissed.
// Any argument other than --linger is shown as the text instead.
// With --linger it then reports on standard output that the call returned (and whether it left a
// file descriptor open, such as its display connection), and stays alive for another second,
// so that a test can look at the screen between the return and the end of the process.
#include "platform/MessageBox.h"

#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

int openDescriptors()
{
    int count = 0;
    if (DIR* directory = opendir("/proc/self/fd")) {
        while (readdir(directory) != nullptr)
            ++count;
        closedir(directory);
    }
    return count;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool linger = argc > 1 && std::strcmp(argv[1], "--linger") == 0;
    const int descriptorsBefore = openDescriptors();
    const char* text = argc > 1 && !linger ? argv[1] : "Level 1 Complete\nThanks for playing!";
    showMessageBox("Zorvex", text);
    if (linger) {
        const int leaked = openDescriptors() - descriptorsBefore;
        if (leaked == 0)
            std::puts("returned");
        else
            std::printf("returned with %d descriptors left open\n", leaked);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return 0;
}
