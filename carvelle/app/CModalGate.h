#pragma once
// Holds what arrives while a dialog is open: a refresh or shutdown message from another copy and
// the reminder check of a new day would pull the vehicle list from under the dialog. Each is kept
// until the last dialog has closed and then handed to the frame once; a shutdown wins over the rest.

#include <QObject>

#include <functional>

class CModalGate : public QObject {
    Q_OBJECT

public:
    enum Held { HeldRefresh = 1, HeldShutdown = 2, HeldCheck = 4, HeldFindings = 8 };

    // run acts on what was held, called with the Held flags once no dialog is open.
    explicit CModalGate(std::function<void(int held)> run, QObject* parent = nullptr);

    // Counts a dialog flow as open for as long as it lives.
    class Scope {
    public:
        explicit Scope(CModalGate& gate);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CModalGate& m_Gate;
    };

    // True while a flow of the frame, a reminder check or a modal dialog is open.
    bool IsOpen() const;
    // Keeps what while something is open (true) or lets it pass now (false).
    bool Hold(Held what);
    // A dialog has closed: hands on what was held once nothing is open any more.
    void Release();

private:
    void RunHeld();

    std::function<void(int)> m_Run;
    int m_Depth = 0;
    int m_Held = 0;
};
