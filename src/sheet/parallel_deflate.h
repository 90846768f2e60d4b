// Deflating one long stream on several cores. The stream is cut into chunks that worker
// threads compress side by side, each primed with the last 32 KB of the chunk before it, and
// the compressed chunks are handed back in order as one raw deflate stream: every chunk but
// the last ends on a byte boundary with a sync flush, and only the last one is final.
#pragma once

#include "sheet/chunk_deflater.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sheet {

class ParallelDeflate {
public:
    // `level` is zlib's 1..9; `threads` 0 means one per core.
    explicit ParallelDeflate(int level, unsigned threads = 0,
                             DeflateLibrary library = DeflateLibrary::Fastest);
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate&) = delete;
    ParallelDeflate& operator=(const ParallelDeflate&) = delete;

    // Starts a new stream; the previous one is abandoned.
    void begin();

    // Called by the thread that makes the stream: queues its next chunk, `last` for its end.
    // Waits while enough chunks are already queued. False when the stream was abandoned.
    bool push(std::string chunk, bool last);
    // Called by the maker instead of push when it cannot go on: pop() then throws `failure`.
    void fail(std::exception_ptr failure);

    // Called by the thread that takes the stream: the next compressed chunk into `out`; false
    // once the last one was taken. Throws what the maker failed with, or std::bad_alloc.
    bool pop(std::string& out);
    // Called by the taker when it stops taking: wakes a maker waiting in push().
    void abandon();

    // Of the chunks taken so far: the bytes before compression and their CRC-32.
    std::uint64_t size() const { return size_; }
    std::uint32_t crc() const { return crc_; }

    struct Chunk; // one chunk on its way through the workers

private:
    void work();

    int level_;
    DeflateLibrary library_;
    std::vector<std::thread> workers_;

    mutable std::mutex mutex_;
    std::condition_variable queued_;   // a chunk to compress, or stop
    std::condition_variable finished_; // a chunk compressed, a failure, or room in the queue
    std::deque<std::shared_ptr<Chunk>> inOrder_; // queued and not yet taken
    std::deque<std::shared_ptr<Chunk>> waiting_; // not yet taken by a worker
    std::string window_;                         // the last bytes of the chunk pushed before
    std::exception_ptr failure_;
    bool pushedLast_ = false;
    bool poppedLast_ = false;
    bool abandoned_ = false;
    bool stopping_ = false;
    std::size_t inFlightLimit_;

    std::uint64_t size_ = 0;
    std::uint32_t crc_ = 0;
};

} // namespace sheet
