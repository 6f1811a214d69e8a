// Dialogs kept on the screen they open on.

#include "widgets/CFullScreenDialog.h"

#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A dialog whose content asks for more than the screen has, as with large text.
class HugeDialog : public CFullScreenDialog {
public:
    HugeDialog() : CFullScreenDialog(9999, QStringLiteral("Huge")) {
        auto* content = new QWidget(this);
        content->setMinimumSize(1500, 1200);
        Body()->addWidget(content);
    }
};

TEST(ScreenFit, ADialogLargerThanTheScreenOpensInsideIt) {
    HugeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QRect room = dialog.screen()->availableGeometry();
    EXPECT_TRUE(room.contains(dialog.geometry())) << dialog.width() << "x" << dialog.height();
    EXPECT_TRUE(room.contains(dialog.frameGeometry()));
}

} // namespace
