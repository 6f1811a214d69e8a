#pragma once
// The data file this run works on: connecting to the stored path (asking the user through the
// welcome dialog until a file opens), switching to another file, backing it up and checking it.
// The frame fills its views once a file is open.

#include <QString>

class QWidget;

class CDataFileSession {
public:
    CDataFileSession();

    // Connects the data layer to the stored path, asking through the welcome dialog until a file
    // opens (true; its path is then stored) or the user cancels (false).
    bool Connect(QWidget* parent);
    // Lets the user pick another data file. True when one was chosen that opens: it is then
    // connected in place of the open file and its path stored. A file that does not open is
    // reported and leaves the open one as it is (true only when that one could not be opened
    // again either: Connect then asks for a file). A damaged one is offered a repaired copy; when
    // that is to be opened, the open file is closed and the copy's path stored (true).
    bool ChooseAnother(QWidget* parent);
    // Copies the open data file where the user says, and tells how that went. The save dialog
    // suggests the next free dated name and asks before replacing a file.
    void Backup(QWidget* parent);
    // Checks the open data file fully and tells what it found; offers to save a repaired copy and
    // then to open it. True when the copy is to be opened: the open file is then closed and the
    // copy's path stored, to be connected next.
    bool Check(QWidget* parent);

    // The open data file's folder, where files to import and export are usually kept.
    QString Folder() const;

    // The file every new data file is copied from.
    const QString& TemplatePath() const { return m_TemplatePath; }
    void SetTemplatePath(const QString& path) { m_TemplatePath = path; }
    // Default.ENU beside the program, else where an installed program keeps it.
    static QString LocateTemplate();

private:
    QString m_TemplatePath;
};
