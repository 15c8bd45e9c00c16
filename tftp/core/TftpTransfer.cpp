#include "TftpTransfer.h"

#include "TftpPath.h"

namespace ksr::tftp {

TftpTransfer::TftpTransfer(const VtTFTPStatus& record, const std::string& folder, Endpoint peer,
                           int maxRetries, TftpStorage& storage)
    : record_(record), path_(folder), peer_(peer), maxRetries_(maxRetries), storage_(storage)
{
    record_.TotalBytes = 0;
    record_.LastBlockSize = -1;
}

Step TftpTransfer::start(int64_t nowMs)
{
    if (cancel)
        return fail(VtTFTP::Canceled);
    std::string path;
    if (!confinedPath(path_, record_.FileName, path))
        return failWithError(VtTFTP::AccessViolation, ErrAccess);
    path_ = path;

    if (record_.Kind == TFTP_READ) {
        file_ = storage_.openForRead(path_);
        if (!file_)
            return failWithError(VtTFTP::FileNotFound, ErrNotFound);
        return sendNextBlock(nowMs);
    }
    if (record_.Kind == TFTP_WRITE) {
        file_ = storage_.openForWrite(path_);
        if (!file_)
            return failWithError(VtTFTP::AccessViolation, ErrAccess);
        created_ = true;
        block_ = 0;
        arm(nowMs);
        Step step;
        step.sends.push_back({peer_, makeAck(0)});
        return report(std::move(step), VtTFTP::Transferring);
    }
    return failWithError(VtTFTP::BadOperation, ErrIllegalOp);
}

Step TftpTransfer::receive(const uint8_t* data, std::size_t size, Endpoint from, int64_t nowMs)
{
    if (!file_)
        return {};
    if (from != peer_) {
        // Another host or port (RFC 1350 transfer ID): tell it, and carry on.
        Step step;
        step.sends.push_back({from, makeError(ErrUnknownTid)});
        return step;
    }
    if (size < 4)
        return {};
    const bool reading = record_.Kind == TFTP_READ;
    if (opcodeOf(data, size) != (reading ? ACK : DATA))
        return {};
    // Lock-step: only the acknowledgement of the block in flight, or the next
    // data block, moves the transfer; repeats get no reply.
    const uint16_t expected = static_cast<uint16_t>(reading ? block_ : block_ + 1);
    if (blockOf(data, size) != expected)
        return {};
    deadline_ = -1;
    if (cancel)
        return fail(VtTFTP::Canceled);

    if (reading) {
        if (record_.LastBlockSize < static_cast<int>(kBlockSize))
            return report({}, VtTFTP::Success);
        return sendNextBlock(nowMs);
    }

    const std::size_t payload = size - 4;
    if (!file_->write(data + 4, payload))
        return failWithError(VtTFTP::DiskFull, ErrDiskFull);
    record_.LastBlockSize = static_cast<int>(payload);
    record_.TotalBytes += static_cast<int64_t>(payload);
    ++block_;
    Step step;
    step.sends.push_back({peer_, makeAck(expected)});
    if (payload >= kBlockSize) {
        arm(nowMs);
        return report(std::move(step), VtTFTP::Transferring);
    }
    return report(std::move(step), VtTFTP::Success);
}

Step TftpTransfer::tick(int64_t nowMs)
{
    if (state_ != Running || deadline_ < 0 || nowMs < deadline_)
        return {};
    if (record_.Kind == TFTP_READ && record_.RetriesUsed < maxRetries_) {
        ++record_.RetriesUsed;
        arm(nowMs);
        Step step;
        step.sends.push_back({peer_, lastData_});
        return report(std::move(step), VtTFTP::Transferring);
    }
    return fail(VtTFTP::Timeout);
}

Step TftpTransfer::socketFailed()
{
    // Also after the step that ended the transfer: its last packet did not go out.
    if (state_ == Running)
        close(false);
    state_ = Failed;
    return report({}, VtTFTP::SocketIoFailed);
}

Step TftpTransfer::fail(int code)
{
    if (state_ != Running)
        return {};
    return report({}, code);
}

Step TftpTransfer::failWithError(int code, uint16_t tftpError)
{
    Step step;
    step.sends.push_back({peer_, makeError(tftpError)});
    return report(std::move(step), code);
}

Step TftpTransfer::sendNextBlock(int64_t nowMs)
{
    uint8_t buffer[kBlockSize];
    long n = file_->read(buffer, sizeof buffer);
    if (n < 0)
        return failWithError(VtTFTP::UndefinedError, ErrUndefined);
    ++block_;
    record_.LastBlockSize = static_cast<int>(n);
    record_.TotalBytes += n;
    record_.RetriesUsed = 1;
    lastData_ = makeData(static_cast<uint16_t>(block_), buffer, static_cast<std::size_t>(n));
    arm(nowMs);
    Step step;
    step.sends.push_back({peer_, lastData_});
    return report(std::move(step), VtTFTP::Transferring);
}

void TftpTransfer::arm(int64_t nowMs) { deadline_ = nowMs + int64_t(record_.TimeOut) * 10; }

void TftpTransfer::close(bool keepWrittenFile)
{
    file_.reset();
    deadline_ = -1;
    // A write that did not complete leaves no partial file behind.
    if (!keepWrittenFile && created_)
        storage_.remove(path_);
    created_ = false;
}

Step TftpTransfer::report(Step step, int code)
{
    record_.setStatus(code);
    if (code == VtTFTP::Success) {
        state_ = Finished;
        close(true);
    } else if (code < 0) {
        state_ = Failed;
        close(false);
    }
    step.reported = true;
    return step;
}

}  // namespace ksr::tftp
