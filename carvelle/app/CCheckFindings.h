#pragma once
// What the full check at start found in the open data file, kept until it can be told (once no
// dialog is open), and told once.

#include <QString>
#include <QStringList>

class QWidget;

class CCheckFindings {
public:
    // False when there is nothing to tell: nothing found, or found in a file no longer open.
    bool Keep(const QString& path, const QStringList& findings, bool repair);
    // The kept findings, the first dozen of them, in a warning; nothing once told.
    void Tell(QWidget* parent);

private:
    QStringList m_Findings;
    bool m_OffersRepair = false;
};
