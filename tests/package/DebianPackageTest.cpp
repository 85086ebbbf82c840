// The Debian package as a player meets it: what Debian's own checkers say of it, and the game
// installed with apt, started from the menu's command in a folder of the player's, and purged.
#include "ChildProcess.h"
#include "GameChecks.h"
#include "GameProcess.h"
#include "ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const fs::path package = ZORVEX_DEB;

bool isInstalled(const std::string& name)
{
    const CommandResult status = runCommand({"dpkg-query", "-W", "-f=${Status}", name});
    return status.succeeded() && status.output == "install ok installed";
}

std::vector<std::string> installedPackages()
{
    return runCommand({"dpkg-query", "-W", "-f=${binary:Package} ${db:Status-Abbrev}\n"}).outputLines();
}

// What apt installs, this puts back: the game and whatever came with it are purged, also when
// the test fails half-way. A marker beside the build lets the run's clean-up step do the same
// should the test itself be killed.
class InstalledPackage {
public:
    InstalledPackage() : before_(installedPackages())
    {
        std::ofstream(ZORVEX_INSTALL_MARKER) << "zorvex\n";
        result = runCommand({"apt-get", "install", "-y", "-q", "--no-install-recommends", package.string()}, 600000ms);
    }
    ~InstalledPackage()
    {
        runCommand({"dpkg", "--purge", "zorvex"});
        for (const std::string& line : installedPackages())
            if (std::find(before_.begin(), before_.end(), line) == before_.end())
                runCommand({"dpkg", "--purge", line.substr(0, line.find(' '))});
        fs::remove(ZORVEX_INSTALL_MARKER);
    }
    CommandResult result;

private:
    std::vector<std::string> before_;
};

}  // namespace

TEST(DebianPackage, PassesLintianAndDebiansCheckersOfItsFiles)
{
    // Lintian leaves files of its own in TMPDIR; they go with a scratch folder.
    const ScratchFolder lintianTemporaries("zorvex-lintian");
    const CommandResult lint = runCommand({"lintian", "--no-tag-display-limit", package.string()}, 2min,
                                          {"TMPDIR=" + lintianTemporaries.path.string()});
    std::cout << "lintian:\n" << lint.output;
    EXPECT_TRUE(lint.end.exitedWith(0)) << lint.end.describe() << lint.errors;
    for (const std::string& line : lint.outputLines())
        EXPECT_NE(line.rfind("E: ", 0), 0u) << line;

    GameFolder scratch;
    const fs::path root = scratch.logPath("unpacked");
    ASSERT_TRUE(runCommand({"dpkg-deb", "-x", package.string(), root.string()}).succeeded());
    const CommandResult desktop = runCommand(
        {"desktop-file-validate", (root / "usr/share/applications/io.github.zorvex.Zorvex.desktop").string()});
    EXPECT_TRUE(desktop.succeeded() && desktop.output.empty()) << desktop.output << desktop.errors;
    const CommandResult metainfo = runCommand({"appstreamcli", "validate", "--no-net",
                                               (root / "usr/share/metainfo/io.github.zorvex.Zorvex.metainfo.xml").string()});
    EXPECT_TRUE(metainfo.succeeded()) << metainfo.output << metainfo.errors;
    const CommandResult manual =
        runCommand({"man", "--warnings", "-E", "UTF-8", "-l", (root / "usr/share/man/man6/zorvex.6.gz").string()});
    EXPECT_TRUE(manual.succeeded() && manual.errors.empty()) << manual.errors;
    for (const char* heading : {"ZORVEX(6)", "CONTROLS", "FILES", "EXIT STATUS"})
        EXPECT_NE(manual.output.find(heading), std::string::npos) << heading;
    for (int size : {48, 64, 128, 256})
        EXPECT_TRUE(fs::is_regular_file(root / ("usr/share/icons/hicolor/" + std::to_string(size) + "x" +
                                                std::to_string(size) + "/apps/zorvex.png")));
}

// Installed with apt as root; without root, unpacked into a scratch folder and played from there.
TEST(DebianPackage, InstallsPlaysFromTheMenusCommandAndPurgesWithoutATrace)
{
    const bool root = geteuid() == 0;
    if (root && isInstalled("zorvex"))
        GTEST_SKIP() << "zorvex is installed already; the test leaves it alone";
    GameFolder scratch;
    std::unique_ptr<InstalledPackage> installed;
    fs::path prefix = "/";
    std::vector<std::string> files;
    if (root) {
        installed = std::make_unique<InstalledPackage>();
        ASSERT_TRUE(installed->result.succeeded()) << installed->result.output << installed->result.errors;
        ASSERT_TRUE(isInstalled("zorvex"));
        const CommandResult listed = runCommand({"dpkg", "-L", "zorvex"});
        files = listed.outputLines();
        std::cout << "installed:\n" << listed.output;
    } else {
        prefix = scratch.logPath("unpacked");
        ASSERT_TRUE(runCommand({"dpkg-deb", "-x", package.string(), prefix.string()}).succeeded());
    }

    GameFolder players(GameFolder::Contents::nothing);
    {
        GameProcess game(players, (prefix / "usr/games/zorvex").string());
        const WindowId window = game.waitForWindow();
        EXPECT_TRUE(showsBricksInTheirStripes(waitUntilTakingKeys(window)));
        EXPECT_TRUE(endsWithStatusZeroOnEscape(game, window));
        EXPECT_EQ(game.standardOutput(), "");
    }
    if (!root)
        GTEST_SKIP() << "not root: played the unpacked package, but installed and purged nothing";

    const CommandResult purge = runCommand({"dpkg", "--purge", "zorvex"});
    ASSERT_TRUE(purge.succeeded()) << purge.errors;
    EXPECT_FALSE(isInstalled("zorvex"));
    // Every file it brought is gone, and so is every folder of its own.
    for (const std::string& path : files) {
        const bool itsOwn = path.find("zorvex") != std::string::npos;
        if (itsOwn || !fs::is_directory(path)) {
            EXPECT_FALSE(fs::exists(path)) << path << " is still there";
        }
    }
}
