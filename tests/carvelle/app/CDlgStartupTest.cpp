// The welcome dialog on its own: the file filter, the two choices, a cancelled file dialog.

#include "app/CDlgStartup.h"
#include "carvelle/support/CCarvelleTest.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/ResourceIds.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

namespace {

using Shown = CScriptedPrompter::Shown;

class DlgStartupTest : public CCarvelleTest {};

TEST_F(DlgStartupTest, AWin32StyleFilterBecomesQtsFilter) {
    EXPECT_EQ(CDlgStartup::QtFileFilter(QStringLiteral("Carvelle Data Files (*.dat)|*.dat||")),
              QStringLiteral("Carvelle Data Files (*.dat)"));
    EXPECT_EQ(CDlgStartup::QtFileFilter(QStringLiteral("Data|*.dat;*.bak|All Files|*.*||")),
              QStringLiteral("Data (*.dat *.bak);;All Files (*.*)"));
    EXPECT_EQ(CDlgStartup::QtFileFilter(QString()), QString());
}

TEST_F(DlgStartupTest, ACancelledFileDialogKeepsTheWelcomeDialogAndTheChoice) {
    TheSettings().DBPath = u"/home/someone/Documents/My Vehicles.dat";
    CDlgStartup dialog;
    dialog.show();
    auto* open = dialog.findChild<QRadioButton*>(QStringLiteral("openExisting"));
    ASSERT_NE(open, nullptr);
    open->click();

    m_Prompter.AnswerFile(QString()); // cancelled
    CScriptedPrompter::Press(dialog, ID_DONE);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(open->isChecked());
    EXPECT_EQ(QString::fromStdU16String(TheSettings().DBPath),
              QStringLiteral("/home/someone/Documents/My Vehicles.dat"));

    m_Prompter.AnswerFile(QStringLiteral("/data/Cars.dat"));
    CScriptedPrompter::Press(dialog, ID_DONE);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_FALSE(dialog.CreateNew());
    EXPECT_EQ(QString::fromStdU16String(TheSettings().DBPath), QStringLiteral("/data/Cars.dat"));

    // Both times the open dialog (the file must exist), starting at the stored path.
    ASSERT_EQ(m_Prompter.Count(Shown::OpenFile), 2);
    EXPECT_EQ(m_Prompter.Count(Shown::SaveFile), 0);
    EXPECT_EQ(m_Prompter.History()[0].initialPath, QStringLiteral("/home/someone/Documents/My Vehicles.dat"));
}

TEST_F(DlgStartupTest, CancelAndClosingTheWindowReturnTwo) {
    {
        CDlgStartup dialog;
        dialog.show();
        CScriptedPrompter::Press(dialog, ID_CANCEL);
        EXPECT_EQ(dialog.result(), 2);
        EXPECT_FALSE(dialog.isVisible());
    }
    {
        CDlgStartup dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), 2);
    }
    {
        // Enter on the focused Cancel key cancels; on a choice it is Done.
        CDlgStartup dialog;
        dialog.show();
        QWidget* cancel = dialog.findChild<QWidget*>(QStringLiteral("softkey2"));
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), 2);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_TRUE(m_Prompter.History().empty());
    CDlgStartup dialog;
    dialog.show();
    // It starts on its first choice, not on the soft keys made before it.
    EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QWidget*>(QStringLiteral("createNew")));
    auto* open = dialog.findChild<QRadioButton*>(QStringLiteral("openExisting"));
    open->setFocus();
    m_Prompter.AnswerFile(QString());
    QTest::keyClick(open, Qt::Key_Return);
    EXPECT_EQ(m_Prompter.Count(Shown::SaveFile), 1);
    EXPECT_TRUE(dialog.isVisible());
    dialog.done(2);
    EXPECT_TRUE(TheSettings().DBPath.empty());
}

TEST_F(DlgStartupTest, OpensCentredOverItsOwnerAtItsContentsSizeAndKeepsTheUsersSize) {
    QWidget owner;
    owner.setGeometry(40, 30, 720, 540);
    owner.show();
    {
        CDlgStartup dialog(&owner);
        dialog.show();
        EXPECT_GE(dialog.width(), 360);
        EXPECT_LE(dialog.width(), 640);
        EXPECT_LT(dialog.height(), owner.height());
        const auto centred = [&] {
            return (dialog.geometry().center() - owner.geometry().center()).manhattanLength() <= 4;
        };
        EXPECT_TRUE(centred());
        auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("startupOptions"));
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title(), QStringLiteral("Startup Options"));
        EXPECT_GT(group->width(), dialog.width() * 3 / 4);
        EXPECT_GT(group->y(), 0); // below the title band
        // The main window moves: the dialog stays over it.
        owner.move(0, 0);
        EXPECT_TRUE(centred());
        EXPECT_TRUE(TheSettings().DialogSizes.empty()) << "an untouched size is not kept";
        dialog.resize(600, 500);
        dialog.done(2);
    }
    EXPECT_EQ(TheSettings().DialogSizes[IDD_STARTUP], std::make_pair(600, 500));
    CDlgStartup again(&owner);
    again.show();
    EXPECT_EQ(again.size(), QSize(600, 500));
    again.done(2);
}

} // namespace
