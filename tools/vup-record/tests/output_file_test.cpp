#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "output_file.h"

// A fresh folder per test, removed with its files afterwards.
class OutputFileTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vup-record-output-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        for (const std::string& name : Names()) {
            unlink((folder + "/" + name).c_str());
        }
        rmdir((folder + "/sub").c_str());
        rmdir(folder.c_str());
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.c_str());
        while (dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name != "sub") {
                names.push_back(name);
            }
        }
        if (dir != nullptr) {
            closedir(dir);
        }
        return names;
    }
    std::string folder;
};

static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(OutputFileTest, TemporaryNameIsAHiddenSiblingUniqueToTheProcess) {
    const std::string temporary = TemporarySiblingPath(folder + "/show.mp4");
    EXPECT_EQ(temporary.rfind(folder + "/.show.mp4.partial-", 0), 0u) << temporary;
    EXPECT_NE(temporary.find(std::to_string(getpid())), std::string::npos);
    EXPECT_EQ(TemporarySiblingPath("still.png").rfind(".still.png.partial-", 0), 0u);
}

TEST_F(OutputFileTest, ContentAppearsWholeUnderTheFinalNameAndNothingElseStays) {
    const std::string path = folder + "/out.bin";
    std::string error;
    ASSERT_EQ(WriteFileAtomically(path, "first", 5, &error), 1) << error;
    EXPECT_EQ(ReadAll(path), "first");
    ASSERT_EQ(WriteFileAtomically(path, "second!", 7, &error), 1) << error;
    EXPECT_EQ(ReadAll(path), "second!");
    EXPECT_EQ(Names(), std::vector<std::string>{"out.bin"});
}

TEST_F(OutputFileTest, CommitMovesAndDiscardRemovesTheTemporaryFile) {
    const std::string path = folder + "/video.mp4";
    const std::string temporary = TemporarySiblingPath(path);
    std::ofstream(temporary) << "frames";
    std::string error;
    ASSERT_EQ(CommitFile(temporary, path, &error), 1) << error;
    EXPECT_EQ(ReadAll(path), "frames");
    EXPECT_EQ(Names(), std::vector<std::string>{"video.mp4"});

    std::ofstream(temporary) << "half";
    DiscardFile(temporary);
    DiscardFile(temporary);  // already gone: fine
    EXPECT_EQ(Names(), std::vector<std::string>{"video.mp4"});
    EXPECT_EQ(ReadAll(path), "frames");
}

TEST_F(OutputFileTest, UnwritablePlacesAreReportedWithTheirPath) {
    std::string error;
    const std::string missing = folder + "/missing/out.png";
    EXPECT_EQ(WriteFileAtomically(missing, "x", 1, &error), 0);
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_EQ(CheckWritable(missing, &error), 0);
    EXPECT_EQ(CheckWritable(folder, &error), 0);  // a folder is not a file to write
    EXPECT_EQ(CheckWritable(folder + "/fine.mp4", &error), 1) << error;
    EXPECT_TRUE(Names().empty());
}

TEST_F(OutputFileTest, OutputFolderIsMadeWhenMissingButNotOverAFile) {
    std::string error;
    ASSERT_EQ(PrepareOutputFolder(folder + "/sub", &error), 1) << error;
    ASSERT_EQ(PrepareOutputFolder(folder + "/sub", &error), 1) << error;  // already there
    EXPECT_EQ(PrepareOutputFolder(folder + "/no/such/sub", &error), 0);
    std::ofstream(folder + "/plain") << "a file";
    EXPECT_EQ(PrepareOutputFolder(folder + "/plain", &error), 0);
    EXPECT_NE(error.find("plain"), std::string::npos) << error;
}
