#ifndef WYXCORE_PIECE_PIPE_H
#define WYXCORE_PIECE_PIPE_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "byte_source.h"

// Compression and decompression of a CIM-XML file run on a second thread,
// beside the rendering or parsing of its text, a few pieces apart: the file
// then costs about what zlib alone costs. Only bytes cross between the two;
// plug-ins and the container stay on the program's thread.

// A short queue of pieces from one thread to another. A producer's failure
// reaches the consumer after the pieces made before it, where it would have
// met it had there been no queue.
class PiecePipe {
public:
    explicit PiecePipe(size_t depth) : depth_(depth) {}
    PiecePipe(const PiecePipe&) = delete;
    PiecePipe& operator=(const PiecePipe&) = delete;

    // Producer: takes the piece (waits while the queue is full); false once the
    // consumer has stopped.
    bool Put(std::string&& piece);
    // Producer: no more pieces; failure, when set, is rethrown by Take after the last.
    void Close(std::exception_ptr failure);
    // Consumer: the next piece (waits for it); false after the last.
    bool Take(std::string* piece);
    // Consumer: takes no more; the producer's Put returns false from now on.
    void Stop();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> pieces_;
    const size_t depth_;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr failure_;
};

// A source read on a second thread, ahead of its reader, once it has given a
// megabyte in place.
class ReadAhead : public ByteSource {
public:
    // source is the ReadAhead's alone until StopAndRethrow (or the destructor).
    explicit ReadAhead(ByteSource* source);
    ~ReadAhead() override;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // What the source gave, in order; its failure is thrown where it occurred.
    size_t Read(char* out, size_t capacity) override;
    // Ends the reading ahead; the source is the caller's again. Rethrows a
    // failure the source met in what was read ahead but never taken.
    void StopAndRethrow();

private:
    bool startBeside();
    void run();
    ByteSource* source_;
    PiecePipe pipe_;
    std::string piece_;
    size_t taken_ = 0;
    bool ended_ = false;
    size_t readInPlace_ = 0;      // before the second thread starts
    bool beside_ = false;         // the second thread runs
    bool noThread_ = false;
    std::exception_ptr unread_;   // set by the thread; read after it is joined
    std::thread thread_;
};

// Work done on a second thread, behind the maker of its pieces.
class WorkBehind {
public:
    typedef std::function<void(const std::string& piece)> Work;
    explicit WorkBehind(Work work);
    ~WorkBehind();
    WorkBehind(const WorkBehind&) = delete;
    WorkBehind& operator=(const WorkBehind&) = delete;

    // Hands the piece over (leaving *piece empty); rethrows the work's failure.
    void Put(std::string* piece);
    // Waits until every piece is worked; rethrows the work's failure.
    void Finish();

private:
    void run();
    void stop();
    Work work_;
    PiecePipe pipe_;
    std::exception_ptr failure_;   // set by the thread; read after it is joined
    bool beside_ = false;          // the second thread runs
    std::thread thread_;
};

#endif
