// Serves one 20 MiB file from ksr4710-tftpd and from tftpd-hpa (both started
// here as children on loopback ports) to curl with 512-byte blocks, a few
// alternating rounds, and prints the best rate of each server and, last,
// "ratio <ours / tftpd-hpa>".
//   bench-tftp [--rounds N] [--mib N]

#include <arpa/inet.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A UDP port on 127.0.0.1 that was free a moment ago.
int freePort()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

pid_t spawn(const std::vector<std::string>& args, bool quiet)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (quiet) {
            int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ownFolder()
{
    char path[4096] = {};
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string s(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return s.substr(0, s.rfind('/') + 1);
}

off_t sizeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Rate of one download in MB/s, 0 when it failed.
double measure(const char* name, int round, int port, const std::string& dir, off_t size)
{
    const std::string out = dir + "/received.bin";
    const std::string url = "tftp://127.0.0.1:" + std::to_string(port) + "/payload.bin";
    ::unlink(out.c_str());
    auto t0 = std::chrono::steady_clock::now();
    int rc = waitFor(spawn({"/usr/bin/curl", "-s", "--tftp-no-options", "--max-time", "120", "-o", out, url}, false));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (rc != 0 || sizeOf(out) != size) {
        std::printf("%s: round %d failed (curl exit %d)\n", name, round, rc);
        return 0;
    }
    double rate = static_cast<double>(size) / seconds / 1e6;
    std::printf("%s: round %d %.2f s %.2f MB/s\n", name, round, seconds, rate);
    return rate;
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 3;
    long mib = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--mib"))
            mib = std::atol(argv[i + 1]);
    }
    char tmpl[] = "/tmp/bench-tftp-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = tmpl;
    // tftpd-hpa started by root serves as user "tftp": it must be able to read.
    ::chmod(tmpl, 0755);
    const std::string file = dir + "/payload.bin";
    const off_t size = static_cast<off_t>(mib) * 1024 * 1024;
    {
        std::mt19937_64 random(4710);
        std::vector<uint64_t> chunk(8192);
        std::ofstream f(file, std::ios::binary);
        for (off_t done = 0; done < size; done += sizeof(uint64_t) * chunk.size()) {
            for (auto& v : chunk)
                v = random();
            f.write(reinterpret_cast<const char*>(chunk.data()),
                    std::min<off_t>(size - done, sizeof(uint64_t) * chunk.size()));
        }
    }
    ::chmod(file.c_str(), 0644);
    std::printf("file: %ld MiB, client: curl --tftp-no-options (512-byte blocks), best of %d rounds\n", mib, rounds);

    const int ourPort = freePort();
    pid_t ours = spawn({ownFolder() + "ksr4710-tftpd", "--folder", dir, "--port", std::to_string(ourPort)}, true);
    const int hpaPort = freePort();
    pid_t hpa = spawn({"/usr/sbin/in.tftpd", "--foreground", "--listen", "--address",
                       "127.0.0.1:" + std::to_string(hpaPort), "--secure", dir}, true);
    ::usleep(300 * 1000);

    // Rounds alternate between the servers so that load from elsewhere on the
    // machine falls on both alike; the best round of each counts.
    double oursRate = 0, hpaRate = 0;
    bool failed = false;
    for (int round = 1; round <= rounds; ++round) {
        double a = measure("ksr4710-tftpd", round, ourPort, dir, size);
        double b = measure("tftpd-hpa", round, hpaPort, dir, size);
        failed = failed || a <= 0 || b <= 0;
        oursRate = std::max(oursRate, a);
        hpaRate = std::max(hpaRate, b);
    }

    ::kill(ours, SIGTERM);
    ::kill(hpa, SIGTERM);
    waitFor(ours);
    waitFor(hpa);
    ::unlink(file.c_str());
    ::unlink((dir + "/received.bin").c_str());
    ::rmdir(dir.c_str());

    std::printf("ksr4710-tftpd %.2f MB/s\n", oursRate);
    std::printf("tftpd-hpa %.2f MB/s\n", hpaRate);
    if (failed) {
        std::printf("ratio n/a\n");
        return 1;
    }
    std::printf("ratio %.3f\n", oursRate / hpaRate);
    return 0;
}
