#include "VtTFTPServer.h"

#include "VtError.h"
#include "LocalAddresses.h"
#include "Trace.h"
#include "UdpSocket.h"
#include "core/TftpPath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

using namespace ksr::tftp;

namespace {

constexpr int kWellKnownPort = 69;

[[noreturn]] void raiseOpenFailed()
{
    throw VtException(VtTFTP::SocketOpenFailed, VtTFTP::statusText(VtTFTP::SocketOpenFailed));
}

}  // namespace

int VtTFTPServer::DefaultPort()
{
    if (const char* text = std::getenv("KSR4710_TFTP_PORT")) {
        char* end = nullptr;
        long port = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && port >= 0 && port <= 65535)
            return static_cast<int>(port);
    }
    return kWellKnownPort;
}

VtTFTPServer::VtTFTPServer(QObject* owner) : QObject(owner)
{
    std::string hostAddress = ksr::hostFirstAddress();
    if (!hostAddress.empty())
        request_.LocalAddress = hostAddress;
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &VtTFTPServer::onTimer);
}

VtTFTPServer::~VtTFTPServer()
{
    Stop();
    sessions_.clear();
}

void VtTFTPServer::SetLimits(int timeOut, int retries)
{
    request_.TimeOut = timeOut;
    maxRetries_ = retries;
}

void VtTFTPServer::SetProgressCallback(VtTFTPProgress progress) { progress_ = std::move(progress); }

void VtTFTPServer::SetBindAddress(const std::string& address)
{
    in_addr a{};
    bindAddress_ = inet_pton(AF_INET, address.c_str(), &a) == 1 ? ntohl(a.s_addr) : 0;
}

void VtTFTPServer::Listen(const std::string& folder, int port)
{
    folder_ = folderWithSeparator(folder);
    if (fd_ >= 0)
        return;  // already listening: only the folder changes

    if (port == kWellKnownPort)
        port = DefaultPort();
    if (port < 0 || port > 65535)
        raiseOpenFailed();
    // No SO_REUSEADDR: for UDP on Linux it would let a second server bind the
    // same port and silently take requests meant for the first; a busy port
    // must fail here instead.
    uint16_t bound = 0;
    int fd = openUdp(bindAddress_, static_cast<uint16_t>(port), bound);
    if (fd < 0) {
        ksr::trace("TFTP server: cannot bind port %d (errno %d)", port, errno);
        raiseOpenFailed();
    }
    fd_ = fd;
    request_.Port = bound;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &VtTFTPServer::onReadable);
    timer_.start();
    ksr::trace("TFTP server: listening on port %d", request_.Port);
}

void VtTFTPServer::Stop()
{
    if (fd_ >= 0) {
        delete notifier_;
        notifier_ = nullptr;
        ::close(fd_);
        fd_ = -1;
    }
    if (timer_.isActive()) {
        QElapsedTimer waited;
        waited.start();
        // Blocks until the next event; the 20 ms timer guarantees one.
        while (!sessions_.empty() && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    timer_.stop();
}

void VtTFTPServer::onReadable()
{
    uint8_t buffer[kMaxDatagram];
    Endpoint peer;
    for (ssize_t n; (n = receiveFrom(fd_, buffer, sizeof buffer, peer)) >= 0;) {
        ksr::tftp::Request request;
        if (!parseRequest(buffer, static_cast<std::size_t>(n), request))
            continue;  // short datagrams and other opcodes get no reply

        request_.setStatus(VtTFTP::Connected);
        request_.Kind = request.kind;
        request_.Mode = request.mode;
        request_.FileName = request.fileName;
        request_.PeerAddress = dotted(peer.address);
        request_.PeerPort = peer.port;

        // The peer repeats its request when our first answer is slow: the
        // session that serves it already exists.
        bool repeat = false;
        for (const auto& s : sessions_) {
            const VtTFTPStatus& r = s->Status();
            if (r.Kind == request_.Kind && r.Mode == request_.Mode && r.PeerAddress == request_.PeerAddress
                && r.PeerPort == request_.PeerPort && r.FileName == request_.FileName) {
                repeat = true;
                break;
            }
        }
        if (repeat)
            continue;

        request_.RetriesUsed = 0;
        ++request_.SessionNumber;
        ksr::trace("TFTP server: %s request %d for \"%s\" from %s:%d", request.kind == TFTP_READ ? "read" : "write",
                   request_.SessionNumber, request_.FileName.c_str(), request_.PeerAddress.c_str(), request_.PeerPort);
        sessions_.push_back(
            std::make_unique<TFTPSession>(request_, folder_, peer, maxRetries_, bindAddress_, progress_));
        sessions_.back()->Start();
    }
}

void VtTFTPServer::onTimer()
{
    // One ended session is cleared away per tick; time-outs wait for the next one.
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
        if ((*it)->Active() != TftpTransfer::Running) {
            sessions_.erase(it);
            return;
        }
    }
    const int64_t now = TFTPSession::nowMs();
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
        (*it)->CheckTimeout(now);
        if ((*it)->Active() != TftpTransfer::Running) {
            // Timed out: gone at once, and this tick ends here.
            sessions_.erase(it);
            return;
        }
    }
}
