// tallywick-cli's JSON text: documents built with nlohmann::ordered_json are written compactly,
// keys in the order they were set, numbers as the shortest float32 text and strings escaped as
// JsonString escapes them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>

#include "cli/json.h"

namespace {

using Json = nlohmann::ordered_json;

TEST(JsonText, FloatsAreWrittenAsTheShortestFloat32Text) {
    EXPECT_EQ(JsonText(Json(27514.373f)), "27514.373");
    EXPECT_EQ(JsonText(Json(1.1f)), "1.1");
    EXPECT_EQ(JsonText(Json(0.1f)), "0.1");
    EXPECT_EQ(JsonText(Json(174.0f)), "174");  // not 174.0
    EXPECT_EQ(JsonText(Json(-2.5f)), "-2.5");
    EXPECT_EQ(JsonText(Json(1e10f)), "1e+10");  // not 10000000000.0
    EXPECT_EQ(JsonText(Json(1e-4f)), "1e-04");  // the shorter of 0.0001 and 1e-04
    EXPECT_EQ(JsonText(Json(1234567.0f)), "1234567");
    EXPECT_EQ(JsonText(Json(2.4977255e-05f)), "2.4977255e-05");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<float>::infinity())), "null");
    EXPECT_EQ(JsonText(Json(-std::numeric_limits<float>::infinity())), "null");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<float>::quiet_NaN())), "null");
    // Every float32 comes out as JsonFloat writes it.
    std::mt19937 rng(11);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t bits = rng();
        float f;
        std::memcpy(&f, &bits, 4);
        ASSERT_EQ(JsonText(Json(f)), JsonFloat(f)) << bits;
    }
}

TEST(JsonText, DoublesThatAreNoFloat32KeepTheirOwnText) {
    EXPECT_EQ(JsonText(Json(0.1)), "0.1");
    EXPECT_EQ(JsonText(Json(1.0 / 3.0)), "0.3333333333333333");
    EXPECT_EQ(JsonText(Json(1e300)), "1e+300");
    EXPECT_EQ(JsonText(Json(-1e-300)), "-1e-300");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<double>::infinity())), "null");
}

TEST(JsonText, IntegersBooleansAndNull) {
    EXPECT_EQ(JsonText(Json(0)), "0");
    EXPECT_EQ(JsonText(Json(-1)), "-1");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<uint64_t>::max())), "18446744073709551615");
    EXPECT_EQ(JsonText(Json(true)), "true");
    EXPECT_EQ(JsonText(Json(false)), "false");
    EXPECT_EQ(JsonText(Json(nullptr)), "null");
    EXPECT_EQ(JsonText(Json()), "null");
}

TEST(JsonText, ObjectsKeepTheOrderOfTheirKeys) {
    Json doc;
    doc["zeta"] = 1;
    doc["alpha"] = Json::array({1.5f, nullptr, "x"});
    doc["mid"] = Json::object();
    doc["list"] = Json::array();
    doc["nested"]["b"] = false;
    doc["nested"]["a"] = Json::array({Json::object({{"k", 2}})});
    EXPECT_EQ(JsonText(doc),
              R"({"zeta":1,"alpha":[1.5,null,"x"],"mid":{},"list":[],"nested":{"b":false,"a":[{"k":2}]}})");
    // Setting a key again keeps its place.
    doc["zeta"] = 2;
    EXPECT_EQ(JsonText(doc).substr(0, 9), R"({"zeta":2)");
}

TEST(JsonText, StringsAreEscapedAsJsonStringEscapesThem) {
    const std::string text = std::string("a\"b\\c\n\r\t\b\f\x01\x1F\x7F ") + '\0' + "\xEC\x9E\xA5";
    EXPECT_EQ(JsonText(Json(text)), JsonString(std::string_view(text)));
    EXPECT_EQ(JsonText(Json(text)),
              "\"a\\\"b\\\\c\\n\\r\\t\\u0008\\u000c\\u0001\\u001f\x7F \\u0000\xEC\x9E\xA5\"");
    // Bytes that are not UTF-8 pass through as they are instead of stopping the report.
    EXPECT_EQ(JsonText(Json("\xFF\xC3")), "\"\xFF\xC3\"");
    Json doc;
    doc["k\"ey\n"] = "v";
    EXPECT_EQ(JsonText(doc), "{\"k\\\"ey\\n\":\"v\"}");
}

TEST(JsonText, Utf16TextBecomesUtf8) {
    EXPECT_EQ(Utf8(u"\uC7A5\uAC11"), "\xEC\x9E\xA5\xEA\xB0\x91");
    EXPECT_EQ(Utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    const char16_t lone[] = {u'x', char16_t(0xDC00), char16_t(0xD800), 0};
    EXPECT_EQ(Utf8(lone), "x\xEF\xBF\xBD\xEF\xBF\xBD");
    // JsonString of UTF-16 text is JsonString of its UTF-8.
    const char16_t mixed[] = {u'"',      u'\n', char16_t(0xD83D), char16_t(0xDE00), char16_t(0xDBFF),
                              u'\uFFFF', 0};
    EXPECT_EQ(JsonString(mixed), JsonString(std::string_view(Utf8(mixed))));
    EXPECT_EQ(JsonText(Json(Utf8(mixed))), JsonString(mixed));
}

TEST(JsonText, FloatArrayHoldsEveryValueInOrder) {
    const float values[] = {1.0f, 0.5f, -0.0f, std::nanf(""), 3e38f};
    EXPECT_EQ(JsonText(FloatArray(values, 5)), "[1,0.5,-0,null,3e+38]");
    EXPECT_EQ(JsonText(FloatArray(values, 0)), "[]");
}

}  // namespace
