#pragma once
// How copies of the program reach each other: a local socket named after the product and the
// user, in $XDG_RUNTIME_DIR (else the temporary folder). A peer connects and sends one message
// name per line; the running copy answers "OK" when it acted on it, "NO" otherwise. The names
// are the two registered messages and the request to come forward.

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

class CInstanceChannel : public QObject {
    Q_OBJECT

public:
    // Reload the vehicle list from the data file.
    static const QString RefreshMessage;
    // Close the program.
    static const QString ShutdownMessage;
    // Raise and activate the main window (a second copy handing over).
    static const QString ActivateMessage;

    enum SendResult {
        SendNoPeer,   // nobody listens under that name
        SendFailed,   // a peer listens but did not act on the message
        SendAccepted, // the peer acted on it
    };

    // Acts on one message; true when it did.
    using Handler = std::function<bool(const QString& message)>;

    explicit CInstanceChannel(Handler handler, QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Starts listening. A socket left behind by a copy that is gone is replaced; one that a live
    // copy still answers on is never taken over. False when nothing listens afterwards.
    bool Listen(const QString& serverName);
    bool IsListening() const { return m_Server.isListening(); }
    QString ServerName() const { return m_Server.fullServerName(); }

    // The name under which the copy of the given product for this user listens.
    static QString ServerNameFor(const QString& productName);
    // Sends one message to the copy listening under serverName and waits for its answer.
    static SendResult Send(const QString& serverName, const QString& message, int timeoutMs = 1000);

private:
    void OnNewConnection();

    Handler m_Handler;
    QLocalServer m_Server;
};
