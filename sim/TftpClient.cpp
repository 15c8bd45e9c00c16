#include "TftpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace ksrsim {

namespace {

struct Upload {
    const std::string* data;
    size_t pos = 0;
};

size_t onReceive(char* ptr, size_t size, size_t n, void* user) {
    static_cast<std::string*>(user)->append(ptr, size * n);
    return size * n;
}

size_t onSend(char* buffer, size_t size, size_t n, void* user) {
    auto* up = static_cast<Upload*>(user);
    size_t len = std::min(size * n, up->data->size() - up->pos);
    std::memcpy(buffer, up->data->data() + up->pos, len);
    up->pos += len;
    return len;
}

TftpResult transfer(const std::string& host, uint16_t port, const std::string& name, const std::string* upload,
                    unsigned timeoutSeconds) {
    TftpResult r;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        r.error = "curl_easy_init failed";
        return r;
    }
    // The file name travels as the request's name: escape it for the URL
    // so that blanks or '#' do not cut it short.
    char* escaped = curl_easy_escape(curl.get(), name.c_str(), static_cast<int>(name.size()));
    std::string url = "tftp://" + host + ":" + std::to_string(port) + "/" + (escaped ? escaped : "");
    curl_free(escaped);
    char errbuf[CURL_ERROR_SIZE] = {};
    Upload up{upload};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // A bare RFC 1350 request, as the access point sends it.
    curl_easy_setopt(c, CURLOPT_TFTP_NO_OPTIONS, 1L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, static_cast<long>(timeoutSeconds));
    if (upload) {
        curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(c, CURLOPT_READFUNCTION, onSend);
        curl_easy_setopt(c, CURLOPT_READDATA, &up);
        curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(upload->size()));
    } else {
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onReceive);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &r.data);
    }
    CURLcode rc = curl_easy_perform(c);
    r.ok = rc == CURLE_OK;
    r.bytes = upload ? up.pos : r.data.size();
    if (!r.ok) r.error = errbuf[0] ? errbuf : curl_easy_strerror(rc);
    return r;
}

}  // namespace

TftpResult tftpGet(const std::string& host, uint16_t port, const std::string& name, unsigned timeoutSeconds) {
    return transfer(host, port, name, nullptr, timeoutSeconds);
}

TftpResult tftpPut(const std::string& host, uint16_t port, const std::string& name, const std::string& data,
                   unsigned timeoutSeconds) {
    return transfer(host, port, name, &data, timeoutSeconds);
}

}  // namespace ksrsim
