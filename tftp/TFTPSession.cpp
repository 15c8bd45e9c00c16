#include "TFTPSession.h"

#include "Trace.h"
#include "UdpSocket.h"

#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <unistd.h>

using namespace ksr::tftp;

int64_t TFTPSession::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TFTPSession::TFTPSession(const VtTFTPStatus& record, const std::string& folder, Endpoint peer,
                         int maxRetries, uint32_t bindAddress, const VtTFTPProgress& progress,
                         QObject* parent)
    : QObject(parent), machine_(record, folder, peer, maxRetries, storage_), progress_(progress)
{
    machine_.record().setStatus(VtTFTP::Connected);
    apply({{}, true});

    fd_ = openUdp(bindAddress, 0, localPort_);
    if (fd_ < 0) {
        apply(machine_.fail(VtTFTP::SocketOpenFailed));
        return;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TFTPSession::onReadable);
}

TFTPSession::~TFTPSession()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
    // A transfer still running when its session goes away has not completed.
    if (machine_.running())
        machine_.fail(VtTFTP::Canceled);
    machine_.record().setStatus(VtTFTP::Disconnected);
    if (progress_)
        progress_(machine_.record(), machine_.cancel);
}

void TFTPSession::Start()
{
    if (fd_ >= 0)
        apply(machine_.start(nowMs()));
}

void TFTPSession::CheckTimeout(int64_t now) { apply(machine_.tick(now)); }

void TFTPSession::onReadable()
{
    uint8_t buffer[kMaxDatagram];
    Endpoint source;
    // Take every datagram that is waiting; once the transfer has ended they are
    // read and dropped, so that the notifier does not fire for them forever.
    // A failed receive (nothing left, or an ICMP error from a peer that went
    // away) is left to the time-out.
    for (ssize_t n; (n = receiveFrom(fd_, buffer, sizeof buffer, source)) >= 0;)
        apply(machine_.receive(buffer, static_cast<std::size_t>(n), source, nowMs()));
}

void TFTPSession::apply(Step step)
{
    for (const Outgoing& out : step.sends) {
        if (!sendTo(fd_, out.bytes, out.to)) {
            ksr::trace("TFTP session %d: send failed (errno %d)", machine_.record().SessionNumber, errno);
            step = machine_.socketFailed();
            break;
        }
    }
    if (step.reported && progress_)
        progress_(machine_.record(), machine_.cancel);
}
