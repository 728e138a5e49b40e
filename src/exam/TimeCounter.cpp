#include "TimeCounter.h"

#include "Services.h"

#include <QStringList>
#include <cmath>

namespace exam {

QString formatDuration(double days)
{
    // A hair of tolerance keeps 1/1440 from reading as 59.999... seconds.
    double seconds = std::floor(days * 86400.0 + 1e-6);
    if (!(seconds > 0))
        seconds = 0;
    const auto total = static_cast<long long>(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600)
        .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

double parseDuration(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return 0;
    bool okH = false, okM = false, okS = false;
    const int h = parts[0].toInt(&okH), m = parts[1].toInt(&okM), s = parts[2].toInt(&okS);
    if (!okH || !okM || !okS)
        return 0;
    return (h * 3600.0 + m * 60.0 + s) / 86400.0;
}

TimeCounter::TimeCounter(platform::Services& services, QObject* parent)
    : QObject(parent), m_services(services), m_ticker(services.createTicker())
{
    setObjectName(QStringLiteral("examTimer"));
    m_startTime = m_services.monotonicNow();
    connect(m_ticker.get(), &platform::Ticker::tick, this, &TimeCounter::ticked);
}

TimeCounter::~TimeCounter() = default;

void TimeCounter::reset()
{
    m_startTime = m_services.monotonicNow();
    m_frozenElapsed = 0;
}

void TimeCounter::resetTo(double elapsedDays)
{
    m_startTime = m_services.monotonicNow() - elapsedDays;
    m_frozenElapsed = elapsedDays;
}

QString TimeCounter::elapsed() const
{
    return formatDuration(m_counting ? m_services.monotonicNow() - m_startTime : m_frozenElapsed);
}

void TimeCounter::setCounting(bool on)
{
    if (on == m_counting)
        return;
    if (!on)
        m_frozenElapsed = parseDuration(elapsed());
    else
        m_startTime = m_services.monotonicNow() - m_frozenElapsed;
    m_counting = on;
}

bool TimeCounter::isEnabled() const
{
    return m_ticker->isActive();
}

void TimeCounter::setEnabled(bool on)
{
    if (on)
        m_ticker->start();
    else
        m_ticker->stop();
}

} // namespace exam
