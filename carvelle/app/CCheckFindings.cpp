#include "app/CCheckFindings.h"

#include "core/AppData.h"
#include "core/CStringTable.h"
#include "datastore/CDataLayer.h"
#include "widgets/CPrompter.h"

bool CCheckFindings::Keep(const QString& path, const QStringList& findings, bool repair) {
    if (findings.isEmpty() || path != QString::fromUtf16(TheDataLayer().GetDBPath()))
        return false;
    m_Findings = findings;
    m_OffersRepair = repair;
    return true;
}

void CCheckFindings::Tell(QWidget* parent) {
    if (m_Findings.isEmpty())
        return;
    constexpr qsizetype kShown = 12;
    QStringList shown = m_Findings.mid(0, kShown);
    if (m_Findings.size() > kShown)
        shown << FormatStringResource(IDS_IMPORT_MORE_ERRORS, {QString::number(m_Findings.size() - kShown)});
    m_Findings.clear();
    QString text = FormatStringResource(IDS_CHECK_BACKGROUND_FOUND,
                                        {QString::fromUtf16(TheDataLayer().GetDBPath()), shown.join(u'\n')});
    if (m_OffersRepair)
        text += QStringLiteral("\n\n") + LoadStringResource(IDS_CHECK_REPAIR_MENU);
    CPrompter::Instance().MessageBox(parent, text, QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
}
