#include "sheet/parallel_deflate.h"

#include <algorithm>
#include <libdeflate.h>
#include <new>
#include <zlib.h>

namespace sheet {

namespace {

// Deflate looks back at most this far, so a chunk primed with this much of the stream before
// it compresses as it would have inside the one stream.
constexpr std::size_t kWindowBytes = 32 * 1024;
constexpr unsigned kMostWorkers = 4;

} // namespace

struct ParallelDeflate::Chunk {
    std::string input;
    std::string dictionary;
    bool last = false;

    std::string output;
    std::uint64_t length = 0;
    std::uint32_t crc = 0;
    bool done = false;
    bool compressed = false; // false when the compressor failed or had no memory
};

namespace {

// Deflates `chunk.input` into `chunk.output` as a piece of a raw deflate stream.
bool compressChunk(ParallelDeflate::Chunk& chunk, ChunkDeflater& deflater) {
    if (!deflater.deflate(chunk.input, chunk.dictionary, chunk.last, chunk.output))
        return false;
    chunk.length = chunk.input.size();
    chunk.crc = libdeflate_crc32(0, chunk.input.data(), chunk.input.size());
    std::string().swap(chunk.input);
    std::string().swap(chunk.dictionary);
    return true;
}

} // namespace

ParallelDeflate::ParallelDeflate(int level, unsigned threads, DeflateLibrary library)
    : level_(std::clamp(level, 1, 9)), library_(library) {
    if (threads == 0)
        threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
    inFlightLimit_ = 2 * threads + 2;
    workers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        workers_.emplace_back([this] { work(); });
}

ParallelDeflate::~ParallelDeflate() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = abandoned_ = true;
    }
    queued_.notify_all();
    finished_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void ParallelDeflate::work() {
    const std::unique_ptr<ChunkDeflater> deflater = ChunkDeflater::make(level_, library_);
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_)
            break;
        std::shared_ptr<Chunk> chunk = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        const bool compressed = deflater && compressChunk(*chunk, *deflater);
        lock.lock();
        chunk->compressed = compressed;
        chunk->done = true;
        finished_.notify_all();
    }
}

void ParallelDeflate::begin() {
    std::lock_guard lock(mutex_);
    inOrder_.clear();
    waiting_.clear();
    window_.clear();
    failure_ = nullptr;
    pushedLast_ = poppedLast_ = abandoned_ = false;
    size_ = 0;
    crc_ = 0;
}

bool ParallelDeflate::push(std::string input, bool last) {
    auto chunk = std::make_shared<Chunk>();
    chunk->last = last;
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return abandoned_ || inOrder_.size() < inFlightLimit_; });
    if (abandoned_ || pushedLast_)
        return false;
    chunk->dictionary = window_;
    if (input.size() >= kWindowBytes) {
        window_.assign(input, input.size() - kWindowBytes, kWindowBytes);
    } else {
        window_ += input;
        if (window_.size() > kWindowBytes)
            window_.erase(0, window_.size() - kWindowBytes);
    }
    chunk->input = std::move(input);
    pushedLast_ = last;
    inOrder_.push_back(chunk);
    waiting_.push_back(std::move(chunk));
    queued_.notify_one();
    return true;
}

void ParallelDeflate::fail(std::exception_ptr failure) {
    {
        std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
    }
    finished_.notify_all();
}

bool ParallelDeflate::pop(std::string& out) {
    std::unique_lock lock(mutex_);
    if (poppedLast_)
        return false;
    finished_.wait(lock, [this] {
        return failure_ || abandoned_ || (!inOrder_.empty() && inOrder_.front()->done);
    });
    if (failure_)
        std::rethrow_exception(failure_);
    if (abandoned_)
        return false;
    std::shared_ptr<Chunk> chunk = std::move(inOrder_.front());
    inOrder_.pop_front();
    poppedLast_ = chunk->last;
    lock.unlock();
    finished_.notify_all();
    if (!chunk->compressed)
        throw std::bad_alloc();
    crc_ = static_cast<std::uint32_t>(
        crc32_combine(crc_, chunk->crc, static_cast<z_off_t>(chunk->length)));
    size_ += chunk->length;
    out = std::move(chunk->output);
    return true;
}

void ParallelDeflate::abandon() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        waiting_.clear();
    }
    finished_.notify_all();
}

} // namespace sheet
