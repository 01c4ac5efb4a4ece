// The INI codec: lookups, the three value forms, the update rules and hostile text. The expected
// readings of odd values are what the system's profile functions return for the same lines.
#include "app/ini.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

#include "base/text_encoding.h"

namespace {

using namespace std::string_literals;

IniText Ini(std::string text) {
    return ParseIniBytes(std::move(text));
}

std::string Str(const IniText& ini, const char* section, const char* key) {
    std::string v;
    return IniReadString(ini, section, key, &v) ? v : "<absent>";
}

TEST(IniRead, FindsSectionsAndKeysLikeTheSystem) {
    IniText ini =
        Ini("top=0\n"
            "  [ Opt ]  ; trailing text\n"
            "  Key  =  val ue  \n"
            ";c=1\n"
            "keyonly\n"
            "dup=first\n"
            "dup=second\n"
            "[B]]\n"
            "j=2\n"
            "[Half\n"
            "k\0x=nul\n"
            "n=a\0b\n"
            "\v\f\x1A s \x1A= \t v \x1A\n"
            "[opt]\n"
            "late=1\n"s);
    EXPECT_EQ(Str(ini, "OPT", "key"), "val ue");
    EXPECT_EQ(Str(ini, " Opt ", " KEY "), "val ue");
    EXPECT_EQ(Str(ini, "Opt", ";c"), "1");  // comments are keys like any other
    EXPECT_EQ(Str(ini, "Opt", "keyonly"), "<absent>");
    EXPECT_EQ(Str(ini, "Opt", "dup"), "first");
    EXPECT_EQ(Str(ini, "Opt", "late"), "<absent>");  // only the first [opt] counts
    EXPECT_EQ(Str(ini, "B]", "j"), "2");
    EXPECT_EQ(Str(ini, "B", "j"), "<absent>");
    EXPECT_EQ(Str(ini, "Opt", "top"), "<absent>");  // before any section: no section at all
    EXPECT_EQ(Str(ini, "", "top"), "<absent>");
    // "[Half" is no header, so its following lines still belong to [B]]
    EXPECT_EQ(Str(ini, "B]", "k"), "nul");
    EXPECT_EQ(Str(ini, "B]", "n"), "a");
    EXPECT_EQ(Str(ini, "B]", "s"), "v");
}

TEST(IniRead, LineEndsOfEveryKindSeparateLines) {
    for (const char* br : {"\r\n", "\n", "\r"}) {
        std::string text = std::string("[A]") + br + "k=1" + br + "[B]" + br + "k=2";
        IniText ini = Ini(text);
        EXPECT_EQ(Str(ini, "A", "k"), "1") << "break " << int(br[0]);
        EXPECT_EQ(Str(ini, "B", "k"), "2") << "break " << int(br[0]);
    }
}

TEST(IniRead, IntegersParseAsTheSystemDoes) {
    struct Case {
        const char* value;
        int32_t expected;
    } cases[] = {
        {"12", 12},
        {"-5", -5},
        {"+7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"-", 0},
        {"\"5\"", 5},
        {"'9'", 9},
        {"1 2", 1},
        {" - 5", 0},
        {"--5", 0},
        {"+-5", 0},
        {"0x10", 16},
        {"0x1F", 31},
        {"0X1f", 0},
        {"-0x10", -16},
        {"0x", 0},
        {"0xg", 0},
        {"0b101", 5},
        {"0o17", 15},
        {"012", 12},
        {"9a", 9},
        {"\x01"
         "5",
         5},
        {"4294967297", 1},
        {"99999999999", 1215752191},
        {"2147483648", INT32_MIN},
        {"123456789012345678901234567890", 1849262357},
        {"0000000000000000000000000012", 12},   // 28 characters: all read
        {"000000000000000000000000000012", 1},  // 30: the last one is cut off
        {"00000000000000000000000000000000012", 0},
    };
    for (const Case& c : cases) {
        IniText ini = Ini(std::string("[A]\nk=") + c.value + "\n");
        EXPECT_EQ(IniReadInt(ini, "A", "k", -99), c.expected) << "value '" << c.value << "'";
    }
    for (const char* empty : {"[A]\nk=\n", "[A]\nk=  \n", "[A]\nk=\"\"\n", "[A]\nk\n", "[A]\n", ""})
        EXPECT_EQ(IniReadInt(Ini(empty), "A", "k", -99), -99) << empty;
}

TEST(IniRead, StructsNeedExactLengthHexAndChecksum) {
    const int32_t limits[3] = {10, 5, 8};
    const char* good[] = {"0A000000050000000800000017", "0a000000050000000800000017",
                          "  0A000000050000000800000017  "};
    for (const char* v : good) {
        int32_t got[3] = {};
        EXPECT_TRUE(IniReadStruct(Ini(std::string("[A]\nk=") + v), "A", "k", got, sizeof got)) << v;
        EXPECT_EQ(std::memcmp(got, limits, sizeof got), 0) << v;
    }
    const std::string bad[] = {"0A000000050000000800000018",
                               "0A00000005000000080000001",
                               "0A0000000500000008000000170",
                               "0G000000050000000800000017",
                               "\"0A000000050000000800000017\"",
                               "0A00000005 000000800000017",
                               "0A00000005000000\0"
                               "0800000017"s};
    for (const std::string& v : bad) {
        int32_t got[3] = {1, 2, 3};
        EXPECT_FALSE(IniReadStruct(Ini(std::string("[A]\nk=") + v), "A", "k", got, sizeof got)) << v;
        EXPECT_EQ(got[0], 1);  // untouched
        EXPECT_EQ(got[2], 3);
    }
}

TEST(IniRead, StringsLoseMatchingQuotesAndStopAt259Characters) {
    EXPECT_EQ(Str(Ini("[A]\nk=\"q\"\n"), "A", "k"), "q");
    EXPECT_EQ(Str(Ini("[A]\nk='q'\n"), "A", "k"), "q");
    EXPECT_EQ(Str(Ini("[A]\nk=\"a\"b\"\n"), "A", "k"), "a\"b");
    EXPECT_EQ(Str(Ini("[A]\nk=\"a\n"), "A", "k"), "\"a");
    EXPECT_EQ(Str(Ini("[A]\nk=\"\n"), "A", "k"), "\"");
    EXPECT_EQ(Str(Ini(std::string("[A]\nk=") + std::string(300, 'x')), "A", "k"), std::string(259, 'x'));
    // "안" is one character, U+1F600 two (a surrogate pair): the cut never splits either.
    std::string korean;
    for (int i = 0; i < 300; ++i) korean += "\xEC\x95\x88";
    EXPECT_EQ(Str(Ini("[A]\nk=" + korean), "A", "k"), korean.substr(0, 259 * 3));
    std::string smile = std::string(258, 'x') + "\xF0\x9F\x98\x80";
    EXPECT_EQ(Str(Ini("[A]\nk=" + smile), "A", "k"), std::string(258, 'x'));
}

TEST(IniRead, TextEncodingFollowsTheFile) {
    // No mark: UTF-8 when valid, else the system code page (Latin-1 by default).
    EXPECT_EQ(Str(Ini("[A]\nk=C:\\\xEC\x95\x88\n"), "A", "k"), "C:\\\xEC\x95\x88");
    EXPECT_EQ(Str(Ini("[A]\nk=C:\\\xB0\xA1\n"), "A", "k"), "C:\\\xC2\xB0\xC2\xA1");
    CodePageDecoder old =
        SetCodePageDecoder([](std::string_view b) { return "cp:" + std::string(b.size(), '?'); });
    EXPECT_EQ(Str(Ini("[A]\nk=\xB0\xA1\n"), "A", "k"), "cp:??");
    EXPECT_EQ(Str(Ini("[A]\nk=ok\n"), "A", "k"), "ok");
    SetCodePageDecoder(old);
    // A UTF-8 mark: UTF-8, bad bytes replaced.
    EXPECT_EQ(Str(Ini("\xEF\xBB\xBF[A]\nk=\xC3\x28z\n"), "A", "k"), "\xEF\xBF\xBD(z");
    // A UTF-16LE mark.
    IniText wide = Ini(std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x48\xC5\r\0\n\0", 22));
    EXPECT_EQ(wide.encoding, IniEncoding::kUtf16Le);
    EXPECT_EQ(Str(wide, "A", "k"), "\xEC\x95\x88");
}

TEST(IniWrite, KeepsEverythingButTheValueItChanges) {
    IniText ini =
        Ini("; head\n"
            "[A]  ; note\n"
            "  K = old  \n"
            "keyonly\n"
            "other=1\n"
            "\n"
            "[B]\n"
            "z=1\n"
            "[a]\n"
            "k=dup\n");
    EXPECT_TRUE(IniWriteString(&ini, "a", "k", "new"));
    EXPECT_TRUE(IniWriteString(&ini, "A", "keyonly", "v"));
    EXPECT_TRUE(IniWriteString(&ini, "A", "added", "  lead and trail  "));
    EXPECT_TRUE(IniWriteInt(&ini, "C", "n", -12));
    EXPECT_EQ(ini.text,
              "; head\n"
              "[A]  ; note\n"
              "  K = new\n"
              "keyonly=v\n"
              "other=1\n"
              "added=lead and trail  \n"
              "\n"
              "[B]\n"
              "z=1\n"
              "[a]\n"
              "k=dup\n"
              "[C]\n"
              "n=-12\n");
}

TEST(IniWrite, NewLinesFollowTheFilesLineEnds) {
    IniText cr = Ini("[A]\rk=1\r[B]\rz=1");
    EXPECT_TRUE(IniWriteString(&cr, "A", "j", "2"));
    EXPECT_TRUE(IniWriteString(&cr, "B", "y", "3"));
    EXPECT_TRUE(IniWriteString(&cr, "C", "w", "4"));
    EXPECT_EQ(cr.text, "[A]\rk=1\rj=2\r[B]\rz=1\ry=3\r[C]\rw=4\r");
    IniText empty;
    EXPECT_TRUE(IniWriteString(&empty, "A", "k", "1"));
    EXPECT_TRUE(IniWriteString(&empty, "A", "j", ""));
    EXPECT_EQ(empty.text, "[A]\r\nk=1\r\nj=\r\n");
    IniText header = Ini("x\n[A]");
    EXPECT_TRUE(IniWriteString(&header, "A", "k", "1"));
    EXPECT_EQ(header.text, "x\n[A]\nk=1\n");
}

TEST(IniWrite, RefusesWhatWouldBreakTheFile) {
    IniText ini = Ini("[A]\nk=1\n");
    const std::string before = ini.text;
    EXPECT_FALSE(IniWriteString(&ini, "A", "k", "a\nb=c"));
    EXPECT_FALSE(IniWriteString(&ini, "A", "k", "a\rb"));
    EXPECT_FALSE(IniWriteString(&ini, "A", "k", std::string_view("a\0b", 3)));
    EXPECT_FALSE(IniWriteString(&ini, "A", "k", "\xB0\xA1"));
    EXPECT_FALSE(IniWriteString(&ini, "A]\n[x", "k", "v"));
    EXPECT_FALSE(IniWriteString(&ini, "A", "k=2", "v"));
    EXPECT_FALSE(IniWriteString(&ini, "A", "[k]", "v"));
    EXPECT_FALSE(IniWriteString(&ini, "  ", "k", "v"));
    EXPECT_EQ(ini.text, before);
}

TEST(IniWrite, StructsAreUpperCaseHexWithChecksum) {
    IniText ini;
    const int32_t limits[3] = {10, 5, 8};
    const uint8_t high[3] = {0xFF, 0xFF, 0x7F};
    EXPECT_TRUE(IniWriteStruct(&ini, "Options", "Error Limit", limits, sizeof limits));
    EXPECT_TRUE(IniWriteStruct(&ini, "Options", "High", high, sizeof high));
    EXPECT_EQ(ini.text, "[Options]\r\nError Limit=0A000000050000000800000017\r\nHigh=FFFF7F7D\r\n");
}

TEST(IniFile, MarksAndOddBytesSurviveARoundTrip) {
    // UTF-16LE with an unpaired surrogate, a NUL and an odd last byte; UTF-8 with its mark.
    std::string wide("\xFF\xFE[\0A\0]\0\n\0u\0=\0\x00\xD8\0\0\n\0\x3D\xD8\x00\xDE\n\0\x41", 27);
    std::string utf8 = "\xEF\xBB\xBF[A]\nk=1\n";
    for (const std::string& bytes : {wide, utf8, std::string("\xFF"), std::string()}) {
        IniText ini = ParseIniBytes(bytes);
        EXPECT_EQ(IniFileBytes(ini), bytes);
    }
    IniText ini = ParseIniBytes(wide);
    EXPECT_TRUE(IniWriteString(&ini, "A", "k", "\xEC\x95\x88"));
    std::string out = IniFileBytes(ini);
    const std::string added("k\0=\0\x48\xC5\n\0", 8);
    EXPECT_EQ(out, wide.substr(0, 26) + added + "\x41");
    ini = ParseIniBytes(utf8);
    EXPECT_TRUE(IniWriteString(&ini, "A", "j", "2"));
    EXPECT_EQ(IniFileBytes(ini), utf8 + "j=2\n");
}

TEST(IniHostile, GarbageReadsAsAbsentAndSurvivesWrites) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(size_t(random() % 4096), '\0');
        for (char& c : bytes) c = char(random() % 8 == 0 ? "[]=\r\n\0 ;"[random() % 8] : random());
        IniText ini = ParseIniBytes(bytes);
        int32_t got[3] = {7, 7, 7};
        EXPECT_FALSE(IniReadStruct(ini, "Options", "Error Limit", got, sizeof got));
        EXPECT_EQ(IniReadInt(ini, "Options", "Active Profile", 1), 1);
        const int32_t limits[3] = {10, 5, 8};
        ASSERT_TRUE(IniWriteStruct(&ini, "Options", "Error Limit", limits, sizeof limits));
        ASSERT_TRUE(IniWriteString(&ini, "File Path", "Image", "C:\\x"));
        EXPECT_TRUE(IniReadStruct(ini, "Options", "Error Limit", got, sizeof got));
        EXPECT_EQ(std::memcmp(got, limits, sizeof got), 0);
        EXPECT_EQ(Str(ini, "File Path", "Image"), "C:\\x");
        if (ini.encoding != IniEncoding::kUtf16Le) {
            EXPECT_EQ(IniFileBytes(ini).substr(0, bytes.size()), bytes);
        }
    }
}

TEST(IniHostile, MegabyteLinesAreReadAndKept) {
    std::string big(1 << 20, 'v');
    IniText ini = Ini("[A]\n[" + big + "\nlong=" + big + "\n" + big + "=x\n");
    std::string v;
    EXPECT_TRUE(IniReadString(ini, "A", "long", &v));
    EXPECT_EQ(v, std::string(259, 'v'));
    EXPECT_EQ(Str(ini, "A", big.c_str()), "x");
    const std::string before = ini.text;
    EXPECT_TRUE(IniWriteString(&ini, "A", "long", "short"));
    EXPECT_EQ(ini.text, "[A]\n[" + big + "\nlong=short\n" + big + "=x\n");
    EXPECT_LT(ini.text.size(), before.size());
}

}  // namespace
