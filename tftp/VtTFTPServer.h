#pragma once
// The TFTP server a screen runs while the device fetches or sends a file:
// listens on a UDP port, starts one TFTPSession per read or write request,
// and checks time-outs every 20 ms. Runs on the GUI thread.

#include "TFTPSession.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

class VtTFTPServer : public QObject {
    Q_OBJECT
public:
    explicit VtTFTPServer(QObject* owner = nullptr);
    ~VtTFTPServer() override;

    // Time-out in units of 10 ms for later sessions; sends of a data block at most.
    void SetLimits(int timeOut, int retries);
    void SetProgressCallback(VtTFTPProgress progress);
    // Address to bind the listening and session sockets to ("0.0.0.0" = all,
    // the default). Takes effect at the next Listen.
    void SetBindAddress(const std::string& address);

    // Stores the folder; when not yet listening, binds the port and starts the
    // timer. Port 69 stands for KSR4710_TFTP_PORT when that is set; port 0
    // takes a free port (see Port()). Raises VtException(-1109) on failure.
    void Listen(const std::string& folder, int port = 69);
    // Closes the listening socket, lets the sessions finish (up to 10000 ms,
    // handling events meanwhile) and stops the timer.
    void Stop();

    bool Listening() const { return fd_ >= 0; }
    // The bound port (host order) while listening.
    int Port() const { return request_.Port; }
    const std::string& Folder() const { return folder_; }
    // The request template (status of the last accepted request, defaults).
    const VtTFTPStatus& Request() const { return request_; }
    std::size_t SessionCount() const { return sessions_.size(); }

    // KSR4710_TFTP_PORT when it holds a port number, else 69.
    static int DefaultPort();

private:
    void onReadable();
    void onTimer();

    VtTFTPStatus request_;
    int maxRetries_ = 3;
    std::string folder_;
    uint32_t bindAddress_ = 0;
    int fd_ = -1;
    class QSocketNotifier* notifier_ = nullptr;
    std::vector<std::unique_ptr<TFTPSession>> sessions_;
    QTimer timer_;
    VtTFTPProgress progress_;
};
