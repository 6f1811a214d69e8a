#include "records/CDefaultStringHelperFactory.h"

#include "records/CDefaultStringHelper.h"

#include <gtest/gtest.h>

#include <memory>

TEST(DefaultStringHelper, FactoryMakesAWorkingHelperOwnedByTheCaller) {
    CDefaultStringHelperFactory factory;
    std::unique_ptr<CStringHelper> helper = factory.Create();
    ASSERT_TRUE(helper);
    EXPECT_STREQ(helper->Encode(u"M\u00FCnchen"), "M\xC3\xBCnchen");
    EXPECT_NE(factory.Create().get(), helper.get());
}
