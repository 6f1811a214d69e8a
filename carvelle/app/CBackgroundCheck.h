#pragma once
// The full check of the open data file on a thread of its own, so that the window stays usable:
// at start, once the file is no longer as the last sound full check saw it (its size, its time
// of change, its path, kept in the settings). The check only reads the file; it ends early when
// cancelled, for instance when the program itself must write and would wait for it.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <thread>

class CDataFileCheck;

class CBackgroundCheck : public QObject {
    Q_OBJECT

public:
    explicit CBackgroundCheck(QObject* parent = nullptr);
    ~CBackgroundCheck() override; // cancels a running check and waits for its end

    // Starts the check of the file unless the last sound check saw it as it is now; a check still
    // running for another file is cancelled first. True when a check started.
    bool StartIfChanged(const QString& path);
    void Cancel();
    bool IsRunning() const { return m_Thread.joinable(); }

    // What the settings keep of a file found sound: "size mtime path"; empty when it is gone.
    static QString Stamp(const QString& path);
    // Keeps the stamp in the settings (written with the others at exit).
    static void RecordSound(const QString& stamp);

signals:
    // The check ran to its end: the findings in words, none when the file is sound; repair when
    // a repaired copy would mend them.
    void Finished(const QString& path, const QStringList& findings, bool repair);

private:
    void Join();

    std::unique_ptr<CDataFileCheck> m_Check;
    std::thread m_Thread;
    unsigned m_Run = 0; // counts the checks started: a result of an earlier one is dropped
};
