#pragma once
// Lets the Qt event loop run (timers, the SNMP pump, sockets) until a
// condition holds, for tests that wait on asynchronous work.

#include <QElapsedTimer>
#include <QTest>

#include <functional>

namespace testsupport {

// True once `done` holds; false when `ms` milliseconds passed first.
inline bool waitUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

}  // namespace testsupport
