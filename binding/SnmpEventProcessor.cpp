#include "SnmpEventProcessor.h"

#include <QCoreApplication>

#include "VtRequest.h"
#include "VtSession.h"

namespace {
SnmpEventProcessor* g_pump = nullptr;

void processQtEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }
}  // namespace

SnmpEventProcessor::SnmpEventProcessor(QObject* parent) : QObject(parent) {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &SnmpEventProcessor::tick);
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
    VtSetProcessEventsHook(nullptr);
    g_pump->timer_.stop();
    delete g_pump;
    g_pump = nullptr;
}

SnmpEventProcessor* SnmpEventProcessor::instance() { return g_pump; }

void SnmpEventProcessor::tick() {
    // The timer is off while the pump works, so completions never nest
    // through the pump even when a completion waits for events itself.
    timer_.stop();
    if (VtSNMPStarted()) VtSNMPProcessPendingEvents();
    timer_.start();
}
