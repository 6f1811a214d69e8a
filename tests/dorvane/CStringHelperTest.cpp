#include "records/CStringHelper.h"

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
