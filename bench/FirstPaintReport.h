#pragma once
// What scripts/measure-startup reads from a start-up probe, on standard output: the wall clock
// (CLOCK_REALTIME, ns) when the watched window is first painted and the resident memory once
// start-up has settled, after which the probe quits.
#include <time.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <cstdio>

namespace qzr::bench {

inline long long RealtimeNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

inline long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class TFirstPaintReport : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            std::printf("first_paint_realtime_ns=%lld\n", RealtimeNs());
            // Let the work that follows the first frame run (the first announcement, the
            // Global read, whatever is built later), then look at memory.
            QTimer::singleShot(500, [] {
                std::printf("resident_kib=%ld\n", ResidentKiB());
                // QZR_PROBE_SMAPS=FILE: where the memory lies, mapping by mapping.
                if (qEnvironmentVariableIsSet("QZR_PROBE_SMAPS")) {
                    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
                    if (rollup.open(QIODevice::ReadOnly)) std::printf("%s", rollup.readAll().constData());
                    QFile maps(QStringLiteral("/proc/self/smaps"));
                    if (maps.open(QIODevice::ReadOnly)) {
                        QFile out(QString::fromLocal8Bit(qgetenv("QZR_PROBE_SMAPS")));
                        if (out.open(QIODevice::WriteOnly)) out.write(maps.readAll());
                    }
                }
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace qzr::bench
