#include "editing/KeywordPickList.h"

#include "editing/CDlgKeywords.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/KeywordOrder.h"
#include "core/ResourceIds.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

void FillKeywordCombo(CKeyword::Type type, QComboBox* combo) {
    if (!combo)
        return;
    const QString typed = combo->currentText();
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->clear();
    QStringList names;
    CObjectListT<CKeyword> keywords;
    if (TheRecords().LoadKeywords(keywords, type)) {
        for (int i = 0; i < keywords.GetCount(); ++i)
            names.append(QString::fromUtf16(keywords.Get(i)->GetName()));
    }
    SortKeywordNames(names);
    combo->addItems(names);
    combo->setEditText(typed);
}

bool ManageKeywords(CKeyword::Type type, QString& text) {
    CDlgKeywords dialog(type, QApplication::activeWindow());
    // Escape, the close box and a dialog torn down with its window are no choice.
    if (CPrompter::Instance().RunModal(dialog) != ID_DONE || !dialog.HasChoice())
        return false;
    text = dialog.Result();
    return true;
}

bool ManageKeywords(CKeyword::Type type, QComboBox* combo) {
    QString text;
    if (!combo || !ManageKeywords(type, text))
        return false;
    combo->setEditText(text);
    if (QLineEdit* edit = combo->lineEdit())
        edit->setFocus();
    return true;
}
