#include "TFTPSession.h"

#include "Trace.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
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

    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(bindAddress);
    socklen_t length = sizeof local;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
        || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        apply(machine_.fail(VtTFTP::SocketOpenFailed));
        return;
    }
    localPort_ = ntohs(local.sin_port);
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
    // Take every datagram that is waiting; once the transfer has ended they are
    // read and dropped, so that the notifier does not fire for them forever.
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // EAGAIN: drained. Anything else (an ICMP "port unreachable" from a
            // peer that went away) is left to the time-out.
            return;
        }
        Endpoint source{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
        apply(machine_.receive(buffer, static_cast<std::size_t>(n), source, nowMs()));
    }
}

void TFTPSession::apply(Step step)
{
    for (const Outgoing& out : step.sends) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(out.to.address);
        to.sin_port = htons(out.to.port);
        ssize_t sent;
        do
            sent = ::sendto(fd_, out.bytes.data(), out.bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        while (sent < 0 && errno == EINTR);
        if (sent != static_cast<ssize_t>(out.bytes.size())) {
            ksr::trace("TFTP session %d: send failed (errno %d)", machine_.record().SessionNumber, errno);
            step = machine_.socketFailed();
            break;
        }
    }
    if (step.reported && progress_)
        progress_(machine_.record(), machine_.cancel);
}
