// The channel over which a second copy hands over to the first.

#include "app/CInstanceChannel.h"
#include "carvelle/support/CCarvelleTest.h"

#include <QLocalServer>

namespace {

class InstanceChannelTest : public CCarvelleTest {};

TEST_F(InstanceChannelTest, NobodyListeningIsNoPeer) {
    const CTestEnvironment& environment = m_Environment;
    const QString name = CInstanceChannel::ServerNameFor(QStringLiteral("ChannelTest"));
    EXPECT_TRUE(name.startsWith(environment.RuntimeDir()));
    EXPECT_EQ(CInstanceChannel::Send(name, CInstanceChannel::RefreshMessage, 200),
              CInstanceChannel::SendNoPeer);
}

TEST_F(InstanceChannelTest, ReplacesASocketLeftByACopyThatIsGone) {
    const QString name = CInstanceChannel::ServerNameFor(QStringLiteral("ChannelTest"));
    // The file of a copy that crashed stays in the way of a plain listen.
    WriteFile(name, "left behind");
    QLocalServer plain;
    EXPECT_FALSE(plain.listen(name));

    CInstanceChannel channel([](const QString&) { return true; });
    EXPECT_TRUE(channel.Listen(name));
}

} // namespace
