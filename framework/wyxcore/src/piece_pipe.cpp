#include "piece_pipe.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <utility>

namespace {

// Pieces in flight: enough that neither side waits on the other's every
// piece, little enough to hold no more than a megabyte or two.
const size_t kDepth = 4;
const size_t kReadPiece = 256 * 1024;
const size_t kInPlace = 1024 * 1024;

}  // namespace

bool PiecePipe::Put(std::string&& piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || pieces_.size() < depth_; });
    if (stopped_) return false;
    pieces_.push_back(std::move(piece));
    piece.clear();
    changed_.notify_all();
    return true;
}

void PiecePipe::Close(std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    failure_ = failure;
    changed_.notify_all();
}

bool PiecePipe::Take(std::string* piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !pieces_.empty(); });
    if (pieces_.empty()) {
        if (failure_) std::rethrow_exception(failure_);
        return false;
    }
    *piece = std::move(pieces_.front());
    pieces_.pop_front();
    changed_.notify_all();
    return true;
}

void PiecePipe::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    pieces_.clear();
    changed_.notify_all();
}

ReadAhead::ReadAhead(ByteSource* source) : source_(source), pipe_(kDepth) {}

// A small file is read in place: a thread would cost more than it saves.
bool ReadAhead::startBeside() {
    if (readInPlace_ < kInPlace || noThread_) return false;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        noThread_ = true;   // none to be had: the source is read in place
        return false;
    }
    beside_ = true;
    return true;
}

ReadAhead::~ReadAhead() {
    pipe_.Stop();
    if (thread_.joinable()) thread_.join();
}

void ReadAhead::run() {
    try {
        for (;;) {
            std::string piece(kReadPiece, '\0');
            const size_t n = source_->Read(&piece[0], piece.size());
            if (n == 0) break;
            piece.resize(n);
            if (!pipe_.Put(std::move(piece))) return;
        }
        pipe_.Close(nullptr);
    } catch (...) {
        unread_ = std::current_exception();
        pipe_.Close(unread_);
    }
}

size_t ReadAhead::Read(char* out, size_t capacity) {
    if (!beside_ && !startBeside()) {
        const size_t n = source_->Read(out, capacity);
        readInPlace_ += n;
        return n;
    }
    while (taken_ == piece_.size()) {
        if (ended_) return 0;
        taken_ = 0;
        piece_.clear();
        try {
            if (!pipe_.Take(&piece_)) ended_ = true;
        } catch (...) {
            ended_ = true;
            throw;
        }
    }
    const size_t n = std::min(capacity, piece_.size() - taken_);
    std::memcpy(out, piece_.data() + taken_, n);
    taken_ += n;
    return n;
}

void ReadAhead::StopAndRethrow() {
    pipe_.Stop();
    if (thread_.joinable()) thread_.join();
    if (!ended_ && unread_) {
        ended_ = true;
        std::rethrow_exception(unread_);
    }
}

WorkBehind::WorkBehind(Work work) : work_(std::move(work)), pipe_(kDepth) {
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No second thread to be had: each piece is worked as it is handed over.
    }
    beside_ = thread_.joinable();
}

// Unwinding: the pieces still queued are not worked.
WorkBehind::~WorkBehind() {
    pipe_.Stop();
    stop();
}

void WorkBehind::run() {
    std::string piece;
    try {
        while (pipe_.Take(&piece)) work_(piece);
    } catch (...) {
        failure_ = std::current_exception();
        pipe_.Stop();
    }
}

void WorkBehind::stop() {
    pipe_.Close(nullptr);
    if (thread_.joinable()) thread_.join();
}

void WorkBehind::Put(std::string* piece) {
    if (!beside_) {
        work_(*piece);
        piece->clear();
        return;
    }
    if (pipe_.Put(std::move(*piece))) return;
    stop();
    std::rethrow_exception(failure_);
}

void WorkBehind::Finish() {
    stop();
    if (failure_) std::rethrow_exception(failure_);
}
