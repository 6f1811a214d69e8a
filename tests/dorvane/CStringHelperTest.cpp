#include "records/CDefaultStringHelper.h"
#include "records/CDefaultStringHelperFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A text field as a record holds it, freed at the end of the test.
struct OwnedText {
    WCHAR* text = nullptr;
    ~OwnedText() { std::free(text); }
};

std::u16string Text(const OwnedText& field) {
    return field.text ? std::u16string(field.text) : u"<null>";
}

} // namespace

TEST(StringHelperSetValue, NullAndEmptyOnUnsetField) {
    OwnedText field;
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, nullptr), 0);
    EXPECT_EQ(field.text, nullptr);

    // Stores the empty text, but that is no change.
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, u""), 0);
    ASSERT_NE(field.text, nullptr);
    EXPECT_EQ(Text(field), u"");
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, nullptr), 0);
}

TEST(StringHelperSetValue, SameDifferentAndCaseDifferingTexts) {
    OwnedText field;
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, u"Shell"), 1);
    const WCHAR* stored = field.text;

    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, u"Shell"), 0);
    EXPECT_EQ(field.text, stored) << "the same text keeps the stored buffer";

    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, u"shell"), 1);
    EXPECT_EQ(Text(field), u"shell");
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, u"Esso"), 1);
    EXPECT_EQ(Text(field), u"Esso");
}

TEST(StringHelperSetValue, ClearingAFieldThatHoldsText) {
    OwnedText field;
    CStringHelper::SetStringValue(&field.text, u"Oil change");
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, u""), 1);
    EXPECT_EQ(Text(field), u"");

    CStringHelper::SetStringValue(&field.text, u"Oil change");
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, nullptr), 1) << "null counts as the empty text";
    EXPECT_EQ(Text(field), u"");
}

TEST(StringHelperSetValue, NewTextMayPointIntoTheOldOne) {
    OwnedText field;
    CStringHelper::SetStringValue(&field.text, u"Oil change");
    // The tail of the stored text itself: it must be copied before the old text is released.
    EXPECT_EQ(CStringHelper::SetStringValue(&field.text, field.text + 4), 1);
    EXPECT_EQ(Text(field), u"change");
}

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

TEST(DefaultStringHelper, FactoryMakesAWorkingHelperOwnedByTheCaller) {
    CDefaultStringHelperFactory factory;
    std::unique_ptr<CStringHelper> helper = factory.Create();
    ASSERT_TRUE(helper);
    EXPECT_STREQ(helper->Encode(u"M\u00FCnchen"), "M\xC3\xBCnchen");
    EXPECT_NE(factory.Create().get(), helper.get());
}
