// The map file and the words file on disk: what is refused, and why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "expect_status.h"
#include "known_sources.h"
#include "map_file.h"
#include "masker.h"
#include "temp_dir.h"

namespace {

void writeText(const std::string& path, const std::string& text, mode_t mode = 0600) {
    std::ofstream(path, std::ios::binary) << text;
    ::chmod(path.c_str(), mode);
}

std::string loadProblem(const std::string& path) {
    PseudonymMap map;
    try {
        LoadMapFile(path, &map);
    } catch (const MaskMapError& e) {
        return e.what();
    }
    return "loaded " + std::to_string(map.Entries().size());
}

TEST(MapFile, RefusesWhatIsNotTheUsersOwnMap) {
    testsupport::TempDir dir;
    const std::string good = std::string(kMapFileHeader) + "\nhost\tsrv01\thost-0001\n";
    writeText(dir.path("good"), good);
    writeText(dir.path("open"), good, 0644);
    writeText(dir.path("foreign"), "127.0.0.1 localhost\n");
    ASSERT_EQ(::symlink(dir.path("good").c_str(), dir.path("link").c_str()), 0);
    std::filesystem::create_directory(dir.path("directory"));
    const struct {
        const char* name;
        const char* expected;
    } rows[] = {
        {"good", "loaded 1"},
        {"missing", "loaded 0"},
        {"open", "is open to other users"},
        {"foreign", "is not a norbix mask map"},
        {"link", "is a symbolic link"},
        {"directory", "is not a regular file"},
    };
    for (const auto& row : rows) EXPECT_EQ(loadProblem(dir.path(row.name)), row.expected) << row.name;
}

TEST(MapFile, IsWrittenPrivateAndReadBack) {
    testsupport::TempDir dir;
    PseudonymMap map;
    map.PseudonymOf(MaskKind::kUser, "jdoe");
    SaveMapFile(dir.path("map"), &map);
    struct stat st;
    ASSERT_EQ(::stat(dir.path("map").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(loadProblem(dir.path("map")), "loaded 1");
    EXPECT_THROW(SaveMapFile(dir.path("no/such/dir/map"), &map), MaskMapError);
}

TEST(WordsFile, IsBoundedAndTyped) {
    testsupport::TempDir dir;
    std::filesystem::path huge(dir.path("huge"));
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, 1ull << 30);   // sparse: costs no disk
    PseudonymMap map;
    MaskChoice choice;
    choice.hosts = choice.users = true;
    Masker masker(choice, &map);
    EXPECT_STATUS(LearnFromWordsFile(&masker, huge.string()), kWyxFileTooLarge);
    EXPECT_STATUS(LearnFromWordsFile(&masker, dir.path("missing")), kWyxFileNotFound);
    writeText(dir.path("words"), "# customers\nAcme Corp\r\nhost:gw7\nuser:ops9\n\nserial:SN1\n");
    LearnFromWordsFile(&masker, dir.path("words"));
    EXPECT_EQ(masker.MaskText("Acme Corp gw7 ops9 SN1 # customers"), "word-0001 host-0001 user-0001 SN1 # customers");
}

}  // namespace
