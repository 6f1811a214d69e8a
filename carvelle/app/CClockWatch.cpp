#include "app/CClockWatch.h"

#include "core/LocalDates.h"
#include "platform/SystemTime.h"

#include <QTimer>

namespace {

// A look that comes this late means the computer slept.
constexpr int kClockTickMs = 60 * 1000;
constexpr double kWakeGapDays = 3.0 * kClockTickMs / (24.0 * 60 * 60 * 1000);

} // namespace

CClockWatch::CClockWatch(QObject* parent) : QObject(parent) {}

CClockWatch::~CClockWatch() = default;

bool CClockWatch::Look() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    const double now = NowAsOleDate();
    const int day = local.wYear * 10000 + local.wMonth * 100 + local.wDay;
    const bool first = m_LastDay == 0;
    const bool newDay = day != m_LastDay;
    const bool woke = now - m_LastTick > kWakeGapDays;
    m_LastDay = day;
    m_LastTick = now;
    return !first && (newDay || woke);
}

void CClockWatch::Start(std::function<void()> tick) {
    if (!m_Timer) {
        m_Timer = new QTimer(this);
        m_Timer->setObjectName(QStringLiteral("clockTimer"));
        m_Timer->setInterval(kClockTickMs);
    }
    m_Timer->disconnect(this);
    connect(m_Timer, &QTimer::timeout, this, std::move(tick));
    m_Timer->start();
}
