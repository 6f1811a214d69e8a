#pragma once
// "Manage Keywords": adds, renames and deletes the keywords of one pick list, and hands back the
// one the user chose. Done with an item selected (or a double click on one, or Enter in the list)
// closes with 1 and the item's text as the result; Done with nothing selected does nothing;
// Cancel closes with 2. Enter in the name field adds the name, or renames the item the user
// picked in the list; when the name is that of the selected item already, it is chosen as with
// Done. Delete (the button or the key in the list) asks first, naming the keyword.
// Every change goes to the data file at once; a change the file refuses leaves the list as it
// was, without a message; a name that the list already holds is refused with a line saying so.

#include "widgets/CFullScreenDialog.h"

#include "records/CKeyword.h"

#include <QString>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CDlgKeywords : public CFullScreenDialog {
    Q_OBJECT

public:
    static constexpr int kMaxNameLength = 30;

    explicit CDlgKeywords(CKeyword::Type type, QWidget* parent = nullptr);
    ~CDlgKeywords() override;

    // The chosen keyword's text; empty unless the dialog ended with Done.
    const QString& Result() const { return m_Result; }
    // True once Done took a selected keyword.
    bool HasChoice() const { return m_Chosen; }
    static QString TitleFor(CKeyword::Type type);

    void OnDone() override;
    // Enter in the name field.
    void OnEnterName();
    void OnAdd();
    void OnRename();
    void OnDelete();

private:
    void FillList();
    void OnSelectionChanged();
    // True when a keyword of this name is stored, or when that cannot be told.
    bool IsDuplicate(const QString& name) const;
    QListWidgetItem* SelectedItem() const;
    void SayExists(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKeyword::Type m_Type;
    QString m_Result;
    bool m_Chosen = false;
    bool m_Adding = false;       // the new item is selected by Add, not by the user
    bool m_Picked = false;       // the user picked the selected item: Enter renames it
    QLineEdit* m_Name = nullptr; // child widgets
    QListWidget* m_List = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Rename = nullptr;
    QPushButton* m_Delete = nullptr;
};
