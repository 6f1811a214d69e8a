#include "carvelle/support/ViewsTestSupport.h"
#include "support/SqliteFile.h"

#include "editing/CDlgKeywords.h"
#include "editing/KeywordPickList.h"

#include "core/ResourceIds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

class KeywordPickListTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        // Start from empty pick lists, whatever the new file carries.
        SqliteFile(m_File.Path()).Exec("DELETE FROM Keyword");
    }

    void StoreKeyword(CKeyword::Type type, const char16_t* name) {
        CKeyword keyword;
        keyword.SetType(type);
        keyword.SetName(name);
        ASSERT_EQ(TheDataLayer().Save(&keyword, 0), 1);
    }

    QStringList Stored(CKeyword::Type type) {
        CObjectListT<CKeyword> keywords;
        EXPECT_EQ(TheDataLayer().Load(keywords, type), 1);
        QStringList names;
        for (int i = 0; i < keywords.GetCount(); ++i)
            names.append(QString::fromUtf16(keywords.Get(i)->GetName()));
        names.sort();
        return names;
    }
};

template <class T> T* Control(QDialog& dialog, const char* name) {
    auto* control = dialog.findChild<T*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

QStringList Items(QListWidget* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items.append(list->item(row)->text());
    return items;
}

} // namespace

TEST_F(KeywordPickListTest, ManagerAddsRenamesAndDeletesInTheFileAndHandsBackTheChoice) {
    StoreKeyword(CKeyword::KeywordFuelVendor, u"Mobil");
    StoreKeyword(CKeyword::KeywordTripCategory, u"Business");
    m_Prompter.AnswerModal([this](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Fuel Vendors"));
        auto* name = Control<QLineEdit>(dialog, "keywordName");
        auto* list = Control<QListWidget>(dialog, "keywordList");
        auto* add = Control<QPushButton>(dialog, "keywordAdd");
        auto* rename = Control<QPushButton>(dialog, "keywordRename");
        auto* remove = Control<QPushButton>(dialog, "keywordDelete");
        EXPECT_FALSE(add->isEnabled() || rename->isEnabled() || remove->isEnabled());
        EXPECT_EQ(name->maxLength(), 30);

        QTest::keyClicks(name, QStringLiteral("Shell"));
        EXPECT_TRUE(add->isEnabled());
        add->click();
        // A second Add of the same name does nothing; another case is another name.
        add->click();
        name->setText(QStringLiteral("shell"));
        add->click();
        name->setText(QStringLiteral("Aral"));
        add->click();
        EXPECT_EQ(Items(list), (QStringList{QStringLiteral("Aral"), QStringLiteral("Mobil"),
                                            QStringLiteral("Shell"), QStringLiteral("shell")}));
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Aral"));
        EXPECT_TRUE(rename->isEnabled() && remove->isEnabled());

        // Renamed to a name that sorts first, the last item stays in its place; renamed to its
        // own name or to a name the list holds, nothing happens.
        list->setCurrentRow(3);
        EXPECT_EQ(name->text(), QStringLiteral("shell"));
        rename->click();
        name->setText(QStringLiteral("Mobil"));
        rename->click();
        name->setText(QStringLiteral("BP"));
        rename->click();
        EXPECT_EQ(Items(list), (QStringList{QStringLiteral("Aral"), QStringLiteral("Mobil"),
                                            QStringLiteral("Shell"), QStringLiteral("BP")}));

        // Deleting the first item selects the new first one.
        list->setCurrentRow(0);
        m_Prompter.AnswerMessage(CPrompter::IDYES);
        remove->click();
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(name->text(), QStringLiteral("Mobil"));

        // Done with nothing selected keeps the manager open.
        list->clearSelection();
        EXPECT_FALSE(rename->isEnabled());
        CScriptedPrompter::Press(dialog, ID_DONE);
        EXPECT_TRUE(dialog.isVisible());
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_Return);
    });
    QComboBox combo;
    combo.setEditable(true);
    EXPECT_TRUE(ManageKeywords(CKeyword::KeywordFuelVendor, &combo));
    EXPECT_EQ(combo.currentText(), QStringLiteral("BP"));
    EXPECT_EQ(combo.count(), 0); // the list is not refilled
    EXPECT_EQ(Stored(CKeyword::KeywordFuelVendor),
              (QStringList{QStringLiteral("BP"), QStringLiteral("Mobil"), QStringLiteral("Shell")}));
    EXPECT_EQ(Stored(CKeyword::KeywordTripCategory), QStringList{QStringLiteral("Business")});
}

TEST_F(KeywordPickListTest, ComboListsOneTypeSortedAndOnlyDoneChangesItsText) {
    StoreKeyword(CKeyword::KeywordRepair, u"tyres");
    StoreKeyword(CKeyword::KeywordRepair, u"Brakes");
    StoreKeyword(CKeyword::KeywordRepair, u"Oil change");
    StoreKeyword(CKeyword::KeywordExpense, u"Parking");
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(QStringLiteral("Wipers"));
    FillKeywordCombo(CKeyword::KeywordRepair, &combo);
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items.append(combo.itemText(i));
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("Brakes"), QStringLiteral("Oil change"), QStringLiteral("tyres")}));
    EXPECT_EQ(combo.currentText(), QStringLiteral("Wipers"));

    // A selected keyword, then Escape, the close box or Cancel: no choice.
    const auto selectFirst = [](QDialog& dialog) {
        Control<QListWidget>(dialog, "keywordList")->setCurrentRow(0);
    };
    m_Prompter.AnswerModal([&](QDialog& dialog) {
        selectFirst(dialog);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    m_Prompter.AnswerModal([&](QDialog& dialog) {
        selectFirst(dialog);
        dialog.close();
    });
    m_Prompter.AnswerModal([&](QDialog& dialog) {
        selectFirst(dialog);
        CScriptedPrompter::Press(dialog, ID_CANCEL);
    });
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ManageKeywords(CKeyword::KeywordRepair, &combo)) << i;
        EXPECT_EQ(combo.currentText(), QStringLiteral("Wipers")) << i;
    }
}

TEST_F(KeywordPickListTest, AKeywordWithoutARowIDIsNeitherDeletedNorRenamedIntoANewRow) {
    StoreKeyword(CKeyword::KeywordExpense, u"Tolls");
    StoreKeyword(CKeyword::KeywordFuelVendor, u"Esso");
    SqliteFile(m_File.Path()).Exec("INSERT INTO Keyword VALUES(0, 999, 'Ghost', 3, 0.0, 0.0)");
    m_Prompter.AnswerModal([this](QDialog& dialog) {
        auto* list = Control<QListWidget>(dialog, "keywordList");
        ASSERT_EQ(Items(list), (QStringList{QStringLiteral("Ghost"), QStringLiteral("Tolls")}));
        list->setCurrentRow(0);
        m_Prompter.AnswerMessage(CPrompter::IDYES);
        Control<QPushButton>(dialog, "keywordDelete")->click();
        Control<QLineEdit>(dialog, "keywordName")->setText(QStringLiteral("Spook"));
        Control<QPushButton>(dialog, "keywordRename")->click();
        EXPECT_EQ(Items(list), (QStringList{QStringLiteral("Ghost"), QStringLiteral("Tolls")}));
        CScriptedPrompter::Press(dialog, ID_CANCEL);
    });
    QString text = QStringLiteral("unchanged");
    EXPECT_FALSE(ManageKeywords(CKeyword::KeywordExpense, text));
    EXPECT_EQ(text, QStringLiteral("unchanged"));
    EXPECT_EQ(Stored(CKeyword::KeywordExpense),
              (QStringList{QStringLiteral("Ghost"), QStringLiteral("Tolls")}));
    EXPECT_EQ(Stored(CKeyword::KeywordFuelVendor), QStringList{QStringLiteral("Esso")});
}

TEST_F(KeywordPickListTest, EnterAddsOrRenamesAndDeleteAsksWithTheName) {
    StoreKeyword(CKeyword::KeywordFuelVendor, u"Shell");
    m_Prompter.AnswerModal([this](QDialog& dialog) {
        auto* name = Control<QLineEdit>(dialog, "keywordName");
        auto* list = Control<QListWidget>(dialog, "keywordList");
        name->setFocus();
        // Two names typed in a row are two new keywords: the one just added is not renamed.
        QTest::keyClicks(name, QStringLiteral("Aral"));
        QTest::keyClick(name, Qt::Key_Return);
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("BP"));
        QTest::keyClick(name, Qt::Key_Return);
        // A keyword picked in the list is renamed; a name the list holds is refused with a reason.
        list->setCurrentRow(2);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Esso"));
        QTest::keyClick(name, Qt::Key_Return);
        name->setText(QStringLiteral("Aral"));
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(static_cast<CFullScreenDialog&>(dialog).RefusalText(),
                  QStringLiteral("\"Aral\" is in the list already."));
        EXPECT_EQ(Items(list),
                  (QStringList{QStringLiteral("Aral"), QStringLiteral("BP"), QStringLiteral("Esso")}));

        // Delete asks with the name; No keeps the keyword.
        list->setCurrentRow(0);
        list->setFocus();
        m_Prompter.AnswerMessage(CPrompter::IDNO);
        QTest::keyClick(list, Qt::Key_Delete);
        m_Prompter.AnswerMessage(CPrompter::IDYES);
        QTest::keyClick(list, Qt::Key_Delete);
        EXPECT_EQ(Items(list), (QStringList{QStringLiteral("BP"), QStringLiteral("Esso")}));
        // Enter on the selected keyword's own name chooses it.
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
    });
    QString chosen;
    EXPECT_TRUE(ManageKeywords(CKeyword::KeywordFuelVendor, chosen));
    EXPECT_EQ(chosen, QStringLiteral("BP"));
    const std::vector<CScriptedPrompter::Shown> asked = m_Prompter.Messages();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, QStringLiteral("Delete \"Aral\" from the list?"));
    EXPECT_EQ(asked[0].buttons, CPrompter::ButtonsYesNo);
    EXPECT_EQ(Stored(CKeyword::KeywordFuelVendor),
              (QStringList{QStringLiteral("BP"), QStringLiteral("Esso")}));
}
