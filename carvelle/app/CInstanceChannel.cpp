#include "app/CInstanceChannel.h"

#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

const QString CInstanceChannel::RefreshMessage = QStringLiteral("{5E75CC96-F6A3-4ebd-BB10-3F30C53EAC89}");
const QString CInstanceChannel::ShutdownMessage = QStringLiteral("{1980404D-5E7C-4f1f-9641-474A74208036}");
const QString CInstanceChannel::ActivateMessage = QStringLiteral("Activate");

namespace {

// A peer sends short names; anything longer than this without a line end is not one of ours.
constexpr qint64 kMaxLineLength = 256;

} // namespace

CInstanceChannel::CInstanceChannel(Handler handler, QObject* parent)
    : QObject(parent), m_Handler(std::move(handler)) {
    connect(&m_Server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
}

CInstanceChannel::~CInstanceChannel() {
    m_Server.close();
}

QString CInstanceChannel::ServerNameFor(const QString& productName) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(folder))
        folder = QDir::tempPath();
    return QDir(folder).filePath(
        QStringLiteral("%1-%2.socket").arg(productName).arg(static_cast<qulonglong>(::getuid())));
}

bool CInstanceChannel::Listen(const QString& serverName) {
    m_Server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_Server.listen(serverName))
        return true;
    if (m_Server.serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Someone's socket is there: take its place only when nobody answers on it any more.
    QLocalSocket probe;
    probe.connectToServer(serverName);
    if (probe.waitForConnected(500)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(serverName);
    return m_Server.listen(serverName);
}

void CInstanceChannel::OnNewConnection() {
    while (QLocalSocket* socket = m_Server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString message = QString::fromUtf8(socket->readLine()).trimmed();
                const bool acted = m_Handler && m_Handler(message);
                socket->write(acted ? "OK\n" : "NO\n");
                socket->flush();
            }
            if (socket->bytesAvailable() > kMaxLineLength)
                socket->abort();
        });
    }
}

CInstanceChannel::SendResult CInstanceChannel::Send(const QString& serverName, const QString& message,
                                                    int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return SendNoPeer;
    socket.write(message.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return SendFailed;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return SendFailed;
    }
    const QByteArray answer = socket.readLine().trimmed();
    socket.disconnectFromServer();
    return answer == "OK" ? SendAccepted : SendFailed;
}
