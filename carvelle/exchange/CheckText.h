#pragma once
// What a full check of a data file found and what a repair did, in words: one line each.

#include <QString>
#include <QStringList>

class CDataFileCheck;
class CDataFileRepair;

// The findings of a check that ran, one line each; empty when the file is sound.
QStringList CheckFindingLines(const CDataFileCheck& check);
// The same for a message box: the engine's "row N missing from index X" lines become one line
// for each index.
QStringList CheckSummaryLines(const CDataFileCheck& check);
// What the settings keep of a file found sound by a full check: "size mtime path"; empty when
// there is no such file. A file whose stamp differs is checked again before it is written.
QString FullCheckStamp(const QString& path);
// The repair table by table, and the indexes it could not build again.
QStringList RepairLines(const CDataFileRepair& repair);
