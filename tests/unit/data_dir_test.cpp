// Where the show runs from when started outside a folder with its files.
#include "platform/posix/data_dir.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "assets/show_files.h"
#include "fakes/bmp_builder.h"

namespace {

// The show's files, as its entry gives them to the search.
const char* const kTuneFiles[] = {kTuneFile};
const DataFiles kShowFiles = {kPictureFiles, kTextureSlotCount, kTuneFiles, 1};

class DataDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = MakeTempDir();
        ASSERT_FALSE(root.empty());
        char here[PATH_MAX];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        startDir = here;
    }
    void TearDown() override {
        // Tests of the launcher move the whole process; the other tests read
        // files relative to where they were started.
        EXPECT_EQ(chdir(startDir.c_str()), 0);
        RemoveTree(root);
    }

    std::string MakeDir(const std::string& relative) {
        std::string path = root;
        size_t from = 0;
        while (from <= relative.size()) {
            const size_t slash = relative.find('/', from);
            const size_t end = slash == std::string::npos ? relative.size() : slash;
            path += "/" + relative.substr(from, end - from);
            mkdir(path.c_str(), 0755);
            from = end + 1;
        }
        return path;
    }

    // DIR with the given show files in it (each one byte: only presence counts).
    void AddFiles(const std::string& dir, std::initializer_list<const char*> files) {
        mkdir((dir + "/Data").c_str(), 0755);
        mkdir((dir + "/data").c_str(), 0755);
        for (const char* file : files) {
            ASSERT_TRUE(WriteBytes(dir + "/" + file, Bytes{1}));
        }
    }
    void AddAllFiles(const std::string& dir) {
        AddFiles(dir, {"Data/Greetz.bmp", "Data/Main.bmp", "Data/VOLVO.bmp", "Data/klump.bmp",
                       "data/tulmor.mid"});
    }

    static std::string Resolved(const std::string& path) {
        char resolved[PATH_MAX];
        return realpath(path.c_str(), resolved) != nullptr ? resolved : "";
    }

    std::string root;
    std::string startDir;
};

TEST_F(DataDirTest, RecognisesTheShowFiles) {
    const std::string dir = MakeDir("set");
    EXPECT_EQ(HoldsAnyDataFile(dir.c_str(), &kShowFiles), 0);
    EXPECT_EQ(HoldsNeededDataFiles(dir.c_str(), &kShowFiles), 0);

    // The tune alone, or folders named like pictures, are not a set of
    // pictures; the tune still marks the folder as the viewer's.
    AddFiles(dir, {"data/tulmor.mid"});
    ASSERT_EQ(mkdir((dir + "/Data/Main.bmp").c_str(), 0755), 0);
    EXPECT_EQ(HoldsAnyDataFile(dir.c_str(), &kShowFiles), 1);
    EXPECT_EQ(HoldsNeededDataFiles(dir.c_str(), &kShowFiles), 0);

    const std::string pictures = MakeDir("pictures");
    AddFiles(pictures, {"Data/Greetz.bmp", "Data/Main.bmp", "Data/VOLVO.bmp", "Data/klump.bmp"});
    EXPECT_EQ(HoldsNeededDataFiles(pictures.c_str(), &kShowFiles), 1);
    // The names are case-sensitive, as the show opens them.
    const std::string folded = MakeDir("folded");
    AddFiles(folded, {"Data/greetz.bmp", "Data/main.bmp", "Data/volvo.bmp", "Data/klump.bmp"});
    EXPECT_EQ(HoldsNeededDataFiles(folded.c_str(), &kShowFiles), 0);

    EXPECT_EQ(HoldsAnyDataFile(nullptr, &kShowFiles), 0);
    EXPECT_EQ(HoldsNeededDataFiles(nullptr, &kShowFiles), 0);
}

TEST_F(DataDirTest, InstalledDataBesideTheProgramIsFoundFromAnywhere) {
    const std::string elsewhere = MakeDir("home/viewer");
    const std::string installed = MakeDir("usr/share/vup");
    MakeDir("usr/bin");
    AddAllFiles(installed);
    const std::string program = root + "/usr/bin/vup";

    DataDirectoryPlaces places = {elsewhere.c_str(), program.c_str(), "../share/vup", nullptr,
                                  nullptr};
    char chosen[PATH_MAX];
    ASSERT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 1);
    EXPECT_EQ(Resolved(chosen), Resolved(installed));

    // An absolute data directory is taken as it is.
    places.dataFromBinDir = installed.c_str();
    ASSERT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 1);
    EXPECT_EQ(std::string(chosen), installed);
}

TEST_F(DataDirTest, AWorkingDirectoryWithAnyShowFileWins) {
    const std::string installed = MakeDir("usr/share/vup");
    AddAllFiles(installed);
    const std::string program = root + "/usr/bin/vup";
    char chosen[PATH_MAX];

    const std::string complete = MakeDir("complete");
    AddAllFiles(complete);
    // Only one picture: the viewer's own set, whose gap the show reports,
    // rather than the installed pictures shown in its place.
    const std::string partial = MakeDir("partial");
    AddFiles(partial, {"Data/Main.bmp"});
    for (const std::string& working : {complete, partial}) {
        const DataDirectoryPlaces places = {working.c_str(), program.c_str(), "../share/vup",
                                            nullptr, nullptr};
        EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 0) << working;
        EXPECT_STREQ(chosen, "") << working;
    }
}

TEST_F(DataDirTest, IncompleteOrMissingInstalledDataIsNotChosen) {
    const std::string elsewhere = MakeDir("elsewhere");
    const std::string installed = MakeDir("usr/share/vup");
    AddFiles(installed, {"Data/Greetz.bmp", "Data/Main.bmp", "Data/VOLVO.bmp", "data/tulmor.mid"});
    MakeDir("usr/bin");
    const std::string program = root + "/usr/bin/vup";
    char chosen[PATH_MAX];

    DataDirectoryPlaces places = {elsewhere.c_str(), program.c_str(), "../share/vup", nullptr,
                                  nullptr};
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 0);

    // No program path, one without a directory, and no places at all.
    AddFiles(installed, {"Data/klump.bmp"});
    places.executablePath = nullptr;
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 0);
    places.executablePath = "vup";
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 0);
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, nullptr, chosen, sizeof chosen), 0);

    // A result that would not fit is refused, never cut short.
    places.executablePath = program.c_str();
    ASSERT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 1);
    const size_t needed = std::string(chosen).size() + 1;
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, needed - 1), 0);
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, needed), 1);
}

TEST_F(DataDirTest, OnlyTheBuildTreesProgramFallsBackToTheSourceTree) {
    const std::string elsewhere = MakeDir("elsewhere");
    const std::string source = MakeDir("src/vup");
    AddAllFiles(source);
    const std::string build = MakeDir("src/vup/build");
    const std::string program = build + "/vup";
    const std::string buildWithSlash = build + "/";
    char chosen[PATH_MAX];

    DataDirectoryPlaces places = {elsewhere.c_str(), program.c_str(), "../share/vup",
                                  buildWithSlash.c_str(), source.c_str()};
    ASSERT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 1);
    EXPECT_EQ(std::string(chosen), source);

    // Installed data beside the program comes first.
    const std::string installed = MakeDir("src/vup/share/vup");
    AddAllFiles(installed);
    ASSERT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 1);
    EXPECT_EQ(Resolved(chosen), Resolved(installed));
    RemoveTree(installed);

    // A copy of the program moved out of the build tree does not use it.
    const std::string moved = root + "/opt/vup";
    places.executablePath = moved.c_str();
    EXPECT_EQ(ChooseDataDirectory(&kShowFiles, &places, chosen, sizeof chosen), 0);
}

TEST_F(DataDirTest, TheLauncherMovesTheProcessOnlyWhenItMust) {
    const std::string elsewhere = MakeDir("elsewhere");
    const std::string installed = MakeDir("installed");
    AddAllFiles(installed);

    ASSERT_EQ(chdir(elsewhere.c_str()), 0);
    ASSERT_EQ(EnterDataDirectory(&kShowFiles, installed.c_str(), nullptr, nullptr), 1);
    char here[PATH_MAX];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(std::string(here), Resolved(installed));

    // Now in a folder with the files: it stays.
    EXPECT_EQ(EnterDataDirectory(&kShowFiles, elsewhere.c_str(), nullptr, nullptr), 0);
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(std::string(here), Resolved(installed));
}

TEST_F(DataDirTest, TheLauncherResolvesTheBuildDirectoryThroughLinks) {
    // The running test program stands in for the build tree's vup; its
    // folder is named through a symbolic link, as a build directory may be.
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    ASSERT_GT(length, 0);
    program[length] = '\0';
    const std::string programDir = std::string(program).substr(0, std::string(program).rfind('/'));
    const std::string link = root + "/build-link";
    ASSERT_EQ(symlink(programDir.c_str(), link.c_str()), 0);

    const std::string source = MakeDir("source");
    AddAllFiles(source);
    const std::string elsewhere = MakeDir("elsewhere");
    ASSERT_EQ(chdir(elsewhere.c_str()), 0);
    ASSERT_EQ(EnterDataDirectory(&kShowFiles, "no/such/dir", link.c_str(), source.c_str()), 1);
    char here[PATH_MAX];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(std::string(here), Resolved(source));
}

}  // namespace
