#pragma once
// The 20 ms event pump on the GUI thread: completes asynchronous SNMP
// requests between window messages.

#include <QObject>
#include <QTimer>

class SnmpEventProcessor : public QObject {
    Q_OBJECT
public:
    // Creates the one global pump (idempotent), starts its timer and points
    // the core's process-events hook at QCoreApplication::processEvents.
    static SnmpEventProcessor* start();
    // Stops and frees the pump (program exit).
    static void stop();
    static SnmpEventProcessor* instance();

    QTimer* timer() { return &timer_; }

private:
    explicit SnmpEventProcessor(QObject* parent = nullptr);
    void tick();

    QTimer timer_;
};
