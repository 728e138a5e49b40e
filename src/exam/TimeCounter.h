#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace platform {
class Services;
class Ticker;
} // namespace platform

namespace exam {

// A duration in days as "h:mm:ss": hours without a leading zero, seconds
// truncated, negative durations shown as 0:00:00.
QString formatDuration(double days);
// Reads "h:mm:ss" back into days; an unreadable text is 0.
double parseDuration(const QString& text);

// A stopwatch that also ticks once a second while enabled. It measures on the
// monotonic clock, so setting the system clock neither adds exam time nor
// takes it away.
class TimeCounter final : public QObject {
    Q_OBJECT
public:
    explicit TimeCounter(platform::Services& services, QObject* parent = nullptr);
    ~TimeCounter() override;

    void reset();
    // Starts again as if the given time, in days, had already passed.
    void resetTo(double elapsedDays);
    // The elapsed time as duration text.
    QString elapsed() const;
    bool counting() const { return m_counting; }
    void setCounting(bool on);
    bool isEnabled() const;
    void setEnabled(bool on);
    int interval() const { return 1000; }

signals:
    void ticked();

private:
    platform::Services& m_services;
    std::unique_ptr<platform::Ticker> m_ticker;
    bool m_counting = true;
    double m_startTime = 0;
    double m_frozenElapsed = 0;
};

} // namespace exam
