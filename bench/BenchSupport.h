#pragma once

// Shared by the benchmarks: statistics, real-size banks made from the shipped
// one, the paint of the window, and the process's resident memory.
#include "Schemas.h"
#include "TableFile.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * double(v.size() - 1) + 0.5));
    return v[i];
}

inline double median(const std::vector<double>& v)
{
    return percentile(v, 0.5);
}

// A bank of n items made of the given bank's items repeated under new ids,
// so that every item has the size of a real one.
inline void writeRepeatedBank(const QString& from, const QString& to, int n)
{
    const QStringList key{QString::fromLatin1(store::kTablePassword)};
    std::vector<platform::RowValues> items;
    {
        platform::TableFile source(from, key, false, platform::TableFile::Missing::Fail,
                                   store::bankSchema());
        items = source.selectAll();
    }
    QFile::remove(to);
    platform::TableFile target(to, key, true, platform::TableFile::Missing::Create,
                               store::bankSchema());
    target.beginTransaction();
    for (int id = 1; id <= n; ++id) {
        platform::RowValues row = items[size_t(id - 1) % items.size()];
        row[0] = id;
        target.insert(row);
    }
    target.commit();
}

// Lays out and paints what is pending, as the screen would after the event.
inline void paintNow(QWidget* w)
{
    QCoreApplication::sendPostedEvents();
    w->repaint();
}

// Resident and peak resident memory in MB, from /proc.
inline std::pair<double, double> residentMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    double rss = 0, hwm = 0;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts[0] == "VmRSS:")
                rss = parts[1].toDouble() / 1024;
            if (parts.size() >= 2 && parts[0] == "VmHWM:")
                hwm = parts[1].toDouble() / 1024;
        }
    return {rss, hwm};
}

} // namespace bench
