#include "records/CDefaultStringHelper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(DefaultStringHelper, EncodeAndDecodeOneNonAsciiCharacter) {
    CDefaultStringHelper helper;
    const char* encoded = helper.Encode(u"\u00DC");
    ASSERT_EQ(std::strlen(encoded), 2u);
    EXPECT_EQ(static_cast<unsigned char>(encoded[0]), 0xC3);
    EXPECT_EQ(static_cast<unsigned char>(encoded[1]), 0x9C);
    EXPECT_EQ(std::u16string(helper.Decode(encoded)), u"\u00DC");
}

TEST(DefaultStringHelper, SurrogatePairRoundTrip) {
    CDefaultStringHelper helper;
    const std::u16string car = u"Car \U0001F697 ok";
    const char* encoded = helper.Encode(car.c_str());
    EXPECT_STREQ(encoded, "Car \xF0\x9F\x9A\x97 ok");
    EXPECT_EQ(std::u16string(helper.Decode(encoded)), car);
}

TEST(DefaultStringHelper, EveryResultStaysValidUntilTheHelperDies) {
    CDefaultStringHelper helper;
    const char* first = helper.Encode(u"first");
    const char* second = helper.Encode(u"second");
    EXPECT_NE(first, second);
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(second, "second");

    LPCWSTR decoded = helper.Decode("third");
    helper.Encode(u"fourth");
    EXPECT_EQ(std::u16string(decoded), u"third");
}

TEST(DefaultStringHelper, NullInputsGiveEmptyTexts) {
    CDefaultStringHelper helper;
    ASSERT_NE(helper.Encode(nullptr), nullptr);
    EXPECT_STREQ(helper.Encode(nullptr), "");
    ASSERT_NE(helper.Decode(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(std::u16string(helper.Decode(static_cast<const char*>(nullptr))), u"");
    EXPECT_STREQ(helper.Encode(u""), "");
}

TEST(DefaultStringHelper, WideDecodeIsAPassThrough) {
    CDefaultStringHelper helper;
    LPCWSTR text = u"as delivered";
    EXPECT_EQ(helper.Decode(text), text);
}
