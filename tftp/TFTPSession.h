#pragma once
// One transfer on its own UDP port: owns the socket and its notifier and
// feeds the packet machine; the server's timer drives its time-outs.

#include "core/TftpTransfer.h"

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

using VtTFTPProgress = std::function<void(const VtTFTPStatus& status, uint8_t& cancel)>;

class TFTPSession : public QObject {
    Q_OBJECT
public:
    // Reports status 1 and opens the session's socket on `bindAddress`
    // (host order) and a fresh port; failure reports -1109.
    TFTPSession(const VtTFTPStatus& record, const std::string& folder, ksr::tftp::Endpoint peer,
                int maxRetries, uint32_t bindAddress, const VtTFTPProgress& progress,
                QObject* parent = nullptr);
    // Reports 0.
    ~TFTPSession() override;

    // Sends the first packet.
    void Start();
    // Resends or times out when the deadline has passed.
    void CheckTimeout(int64_t nowMs);

    // 1 running, 2 finished, 0 failed.
    int Active() const { return machine_.state(); }
    const VtTFTPStatus& Status() const { return machine_.record(); }
    // The session's own UDP port (host order), 0 when it has no socket.
    uint16_t LocalPort() const { return localPort_; }

    static int64_t nowMs();

private:
    void onReadable();
    void apply(ksr::tftp::Step step);

    ksr::tftp::PosixStorage storage_;
    ksr::tftp::TftpTransfer machine_;
    VtTFTPProgress progress_;
    int fd_ = -1;
    uint16_t localPort_ = 0;
    QSocketNotifier* notifier_ = nullptr;
};
