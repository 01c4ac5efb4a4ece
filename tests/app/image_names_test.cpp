// Picture names: the folder text, the probe for the lowest free number, and the path limit.
#include "app/image_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A folder's files by name; the probe answers "stem.*" patterns the way the system's search does.
struct FakeFolder {
    std::set<std::string> files;  // full paths
    std::vector<std::string> probes;
    FileProbe Probe() {
        return [this](const std::string& pattern) {
            probes.push_back(pattern);
            const std::string stem = pattern.substr(0, pattern.size() - 1);  // drop the "*"
            for (const std::string& f : files)
                if (f.compare(0, stem.size(), stem) == 0) return true;
            return false;
        };
    }
};

TEST(FolderText, TrailingSeparatorsGoExceptARootsBackslash) {
    EXPECT_EQ(NormaliseFolderText("C:\\pics\\"), "C:\\pics");
    EXPECT_EQ(NormaliseFolderText("C:\\pics\\\\"), "C:\\pics");
    EXPECT_EQ(NormaliseFolderText("C:\\pics/"), "C:\\pics");
    EXPECT_EQ(NormaliseFolderText("C:\\pics"), "C:\\pics");
    EXPECT_EQ(NormaliseFolderText("D:\\"), "D:\\");
    EXPECT_EQ(NormaliseFolderText("d:"), "d:\\");
    EXPECT_EQ(NormaliseFolderText("\\"), "\\");
    EXPECT_EQ(NormaliseFolderText("\\\\server\\share\\"), "\\\\server\\share");
    EXPECT_EQ(NormaliseFolderText(""), "");
}

TEST(FolderText, JoinDoesNotDoubleARootsBackslash) {
    EXPECT_EQ(JoinFolderPath("D:\\", "D3Item_0001.bmp"), "D:\\D3Item_0001.bmp");
    EXPECT_EQ(JoinFolderPath("D:\\pics", "x.jpg"), "D:\\pics\\x.jpg");
}

TEST(ImageName, EmptyFolderStartsAt0001WithTheFormatsExtension) {
    FakeFolder f;
    EXPECT_EQ(NextImageFileName("C:\\pics", true, f.Probe()), "C:\\pics\\D3Item_0001.bmp");
    EXPECT_EQ(NextImageFileName("C:\\pics", false, f.Probe()), "C:\\pics\\D3Item_0001.jpg");
    ASSERT_FALSE(f.probes.empty());
    EXPECT_EQ(f.probes[0], "C:\\pics\\D3Item_0001.*");
}

TEST(ImageName, AnyExtensionBlocksANumberAndGapsAreReused) {
    FakeFolder f;
    f.files = {"C:\\pics\\D3Item_0001.jpg", "C:\\pics\\D3Item_0003.bmp", "C:\\pics\\D3Item_0004.png"};
    EXPECT_EQ(NextImageFileName("C:\\pics", true, f.Probe()), "C:\\pics\\D3Item_0002.bmp");
    f.files.insert("C:\\pics\\D3Item_0002.bmp");
    // Switching to JPEG keeps counting past numbers taken by either format.
    EXPECT_EQ(NextImageFileName("C:\\pics", false, f.Probe()), "C:\\pics\\D3Item_0005.jpg");
    f.files.erase("C:\\pics\\D3Item_0001.jpg");
    EXPECT_EQ(NextImageFileName("C:\\pics", false, f.Probe()), "C:\\pics\\D3Item_0001.jpg");
}

TEST(ImageName, AllNumbersTakenGivesNothing) {
    int probes = 0;
    FileProbe full = [&probes](const std::string&) { return ++probes, true; };
    EXPECT_EQ(NextImageFileName("C:\\pics", true, full), std::nullopt);
    EXPECT_EQ(probes, 9999);
    FileProbe allButLast = [](const std::string& p) { return p.find("D3Item_9999.") == std::string::npos; };
    EXPECT_EQ(NextImageFileName("C:\\p", false, allButLast), "C:\\p\\D3Item_9999.jpg");
}

TEST(ImageName, APathOverTheSystemLimitIsRefusedNotCut) {
    FakeFolder f;
    // "\D3Item_0001.bmp" adds 16 units; 259 units is the most a path may hold.
    const std::string fits = "C:\\" + std::string(243 - 3, 'a');
    ASSERT_EQ(Utf16Length(fits), 243u);
    EXPECT_EQ(NextImageFileName(fits, true, f.Probe())->size(), 259u);
    EXPECT_EQ(NextImageFileName(fits + "a", true, f.Probe()), std::nullopt);
    // Korean folder names: three UTF-8 bytes but one UTF-16 unit per character.
    std::string korean = "C:\\";
    for (int i = 0; i < 240; ++i) korean += "가";
    ASSERT_EQ(Utf16Length(korean), 243u);
    EXPECT_TRUE(NextImageFileName(korean, true, f.Probe()).has_value());
    EXPECT_EQ(NextImageFileName(korean + "가", true, f.Probe()), std::nullopt);
    EXPECT_EQ(NextImageFileName("", true, f.Probe()), std::nullopt);
}

TEST(ImageName, Utf16LengthCountsSurrogatePairsTwice) {
    EXPECT_EQ(Utf16Length("abc"), 3u);
    EXPECT_EQ(Utf16Length("가나"), 2u);
    EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);  // U+1F600
}

}  // namespace
