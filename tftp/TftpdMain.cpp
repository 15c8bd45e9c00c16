// ksr4710-tftpd: the module's TFTP server on its own, on 127.0.0.1, for
// diagnostics and benchmarks. One line per session start and end on stdout.
//   ksr4710-tftpd --folder DIR [--port N] [--timeout UNITS_OF_10MS] [--retries N]

#include "VtTFTPServer.h"
#include "VtError.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void usage()
{
    std::fprintf(stderr, "usage: ksr4710-tftpd --folder DIR [--port N] [--timeout UNITS_OF_10MS] [--retries N]\n");
}

void quit(int) { QCoreApplication::quit(); }

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::string folder;
    int port = VtTFTPServer::DefaultPort();
    int timeOut = 1000;
    int retries = 3;
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--folder") && hasValue) {
            folder = argv[++i];
            haveFolder = true;
        } else if (!std::strcmp(argv[i], "--port") && hasValue) {
            port = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--timeout") && hasValue) {
            timeOut = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--retries") && hasValue) {
            retries = std::atoi(argv[++i]);
        } else {
            usage();
            return 2;
        }
    }
    if (!haveFolder) {
        usage();
        return 2;
    }

    VtTFTPServer server;
    server.SetBindAddress("127.0.0.1");
    server.SetLimits(timeOut, retries);
    server.SetProgressCallback([](const VtTFTPStatus& s, uint8_t&) {
        if (s.Status == VtTFTP::Transferring)
            return;
        std::printf("session %d %s %s:%d \"%s\" %lld bytes: %d %s\n", s.SessionNumber,
                    s.Kind == TFTP_READ ? "read" : "write", s.PeerAddress.c_str(), s.PeerPort,
                    s.FileName.c_str(), static_cast<long long>(s.TotalBytes), s.Status, s.StatusText.c_str());
        std::fflush(stdout);
    });
    try {
        server.Listen(folder, port);
    } catch (const VtException& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d, folder \"%s\"\n", server.Port(), server.Folder().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, quit);
    std::signal(SIGTERM, quit);
    return app.exec();
}
