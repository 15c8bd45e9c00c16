#include "SnmpEventProcessor.h"

#include <QCoreApplication>
#include <QThread>

#include "VtRequest.h"
#include "VtSession.h"

namespace {
SnmpEventProcessor* g_pump = nullptr;

// Waiting code calls this in a loop: let window messages and the pump run,
// then yield briefly instead of spinning.
void processQtEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
}
}  // namespace

SnmpEventProcessor::SnmpEventProcessor(QObject* parent) : QObject(parent) {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &SnmpEventProcessor::tick);
    // Freed with the application object when stop() was not called.
    connect(this, &QObject::destroyed, [] {
        g_pump = nullptr;
        VtSetProcessEventsHook(nullptr);
    });
}

SnmpEventProcessor* SnmpEventProcessor::start() {
    if (!g_pump) {
        g_pump = new SnmpEventProcessor(QCoreApplication::instance());
        VtSetProcessEventsHook(&processQtEvents);
    }
    g_pump->timer_.start();
    return g_pump;
}

void SnmpEventProcessor::stop() {
    if (!g_pump) return;
    g_pump->timer_.stop();
    delete g_pump;  // clears g_pump and the hook
}

SnmpEventProcessor* SnmpEventProcessor::instance() { return g_pump; }

void SnmpEventProcessor::tick() {
    // The timer is off while the pump works, so completions never nest
    // through the pump even when a completion waits for events itself.
    timer_.stop();
    if (VtSNMPStarted()) VtSNMPProcessPendingEvents();
    timer_.start();
}
