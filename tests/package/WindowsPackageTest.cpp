// The Windows packages as a player meets them, under Wine in a prefix of the run's own: the
// zip unpacked and played, the installer run silently, the game started from its Start-menu
// shortcut, and the uninstaller leaving nothing behind.
#include "Assets.h"
#include "ChildProcess.h"
#include "GameChecks.h"
#include "GameProcess.h"
#include "Keyboard.h"
#include "Poll.h"
#include "Windows.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The game, what it reads, and the licences.
std::vector<std::string> packagedFiles()
{
    std::vector<std::string> files = {"zorvex.exe"};
    files.insert(files.end(), assetNames().begin(), assetNames().end());
    files.insert(files.end(), {"LICENSE.txt", "THIRD-PARTY-NOTICES.txt"});
    return files;
}

fs::path driveC()
{
    return fs::path(std::getenv("WINEPREFIX")) / "drive_c";
}

// Everything in the prefix that a program may leave behind: Windows' own folder, where Wine
// keeps its logs and caches, and the temporary folders aside.
std::set<std::string> filesOfThePrefix()
{
    std::set<std::string> files;
    for (auto entry = fs::recursive_directory_iterator(driveC()); entry != fs::recursive_directory_iterator(); ++entry) {
        const std::string path = fs::relative(entry->path(), driveC()).generic_string();
        if (path == "windows" || entry->path().filename() == "Temp") {
            entry.disable_recursion_pending();
            continue;
        }
        files.insert(path);
    }
    return files;
}

// The first picture of a starting game, and Escape to end it.
void expectTheLevelAndQuit(WindowId window)
{
    EXPECT_TRUE(showsBricksInTheirStripes(waitUntilTakingKeys(window)));
    pressKeys(window, {"Escape"});
}

}  // namespace

TEST(WindowsPackage, TheZipHoldsOneFolderThatPlaysWhereverItIsUnpacked)
{
    const CommandResult listing = runCommand({"unzip", "-Z1", ZORVEX_WINDOWS_ZIP});
    ASSERT_TRUE(listing.succeeded()) << listing.errors;
    const std::vector<std::string> listed = listing.outputLines();
    std::set<std::string> entries(listed.begin(), listed.end());
    std::set<std::string> expected = {"zorvex-" ZORVEX_VERSION "-win64/"};
    for (const std::string& name : packagedFiles())
        expected.insert("zorvex-" ZORVEX_VERSION "-win64/" + name);
    entries.insert("zorvex-" ZORVEX_VERSION "-win64/");  // the folder may or may not have an entry of its own
    EXPECT_EQ(entries, expected);

    GameFolder folder(GameFolder::Contents::nothing);
    ASSERT_TRUE(
        runCommand({"unzip", "-q", "-j", ZORVEX_WINDOWS_ZIP, "-d", folder.workingDirectory().string()}).succeeded());
    GameProcess game(folder, (folder.workingDirectory() / "zorvex.exe").string());
    expectTheLevelAndQuit(game.waitForWindow(30000ms));
    const ProcessEnd end = game.waitForExit(10000ms);
    EXPECT_TRUE(end.exitedWith(0)) << end.describe();
    EXPECT_EQ(game.standardOutput(), "");
}

TEST(WindowsPackage, TheInstallerAddsAShortcutThatPlaysAndTheUninstallerLeavesNothingBehind)
{
    const std::set<std::string> before = filesOfThePrefix();
    const CommandResult install = runCommand({ZORVEX_WINE, ZORVEX_WINDOWS_SETUP, "/S"});
    ASSERT_TRUE(install.succeeded()) << install.end.describe() << install.errors;

    const fs::path folder = driveC() / "Program Files/Zorvex";
    for (const std::string& name : packagedFiles())
        EXPECT_TRUE(fs::is_regular_file(folder / name)) << name << " is not installed";
    EXPECT_TRUE(fs::is_regular_file(folder / "Uninstall.exe"));
    const fs::path shortcut = driveC() / "ProgramData/Microsoft/Windows/Start Menu/Programs/Zorvex/Zorvex.lnk";
    ASSERT_TRUE(fs::is_regular_file(shortcut));
    const std::string uninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorvex";
    const CommandResult registered = runCommand({ZORVEX_WINE, "reg", "query", uninstallKey});
    EXPECT_TRUE(registered.succeeded()) << "not in Add/Remove Programs";
    EXPECT_NE(registered.output.find("\"C:\\Program Files\\Zorvex\\Uninstall.exe\""), std::string::npos)
        << registered.output;

    // Started from the shortcut in a folder that has nothing of the game's, the game still finds
    // its files: the shortcut starts it in its own folder. `start` returns at once.
    GameFolder unrelated(GameFolder::Contents::nothing);
    ChildProcess start({ZORVEX_WINE, "start", "/unix", shortcut.string()}, unrelated.workingDirectory().string(),
                       unrelated.logPath("start-stdout.txt").string(), unrelated.logPath("start-stderr.txt").string());
    const ProcessEnd started = start.waitForExit(30000ms);
    ASSERT_TRUE(started.exitedWith(0)) << "wine start: " << started.describe();
    std::optional<WindowId> window;
    pollUntil(30000ms, [&] { return (window = findVisibleWindow(gameWindowTitle)).has_value(); }, 100ms);
    ASSERT_TRUE(window.has_value()) << "the shortcut started no game window";
    expectTheLevelAndQuit(*window);
    EXPECT_TRUE(pollUntil(10000ms, [] { return !findVisibleWindow(gameWindowTitle); }));
    // An uninstaller that meets a file still open would wait for ever.
    runCommand({"wineserver", "-k"});

    const CommandResult uninstall = runCommand({ZORVEX_WINE, "C:\\Program Files\\Zorvex\\Uninstall.exe", "/S"});
    ASSERT_TRUE(uninstall.succeeded()) << uninstall.errors;
    // The uninstaller goes on from a copy of itself after this one has returned.
    EXPECT_TRUE(pollUntil(30000ms, [&] { return !fs::exists(folder) && !fs::exists(shortcut.parent_path()); }, 100ms))
        << "the install folder or the Start-menu folder is still there";
    EXPECT_FALSE(runCommand({ZORVEX_WINE, "reg", "query", uninstallKey}).succeeded()) << "still in Add/Remove Programs";
    EXPECT_TRUE(runCommand({"wineserver", "-w"}, 30000ms).succeeded()) << "Wine's processes do not end";
    EXPECT_EQ(filesOfThePrefix(), before);
}
