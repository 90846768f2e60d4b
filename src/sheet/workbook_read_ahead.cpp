#include "sheet/workbook_read_ahead.h"

#include <algorithm>
#include <filesystem>

#if defined(__linux__)
#include <sys/stat.h>
#endif

namespace sheet {

std::size_t WorkbookReadAhead::defaultThreads() {
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 2);
}

WorkbookReadAhead::WorkbookReadAhead(std::vector<std::string> paths, Reader reader,
                                     std::size_t depth, std::size_t threads)
    : reader_(std::move(reader)), depth_(std::max<std::size_t>(depth, 1)) {
    entries_.reserve(paths.size());
    for (auto& path : paths) {
        entries_.emplace_back();
        entries_.back().path = std::move(path);
    }
    threads = std::clamp<std::size_t>(threads, 1, depth_);
    disposals_.resize(threads);
    wake_ = std::make_unique<std::condition_variable[]>(threads);
    idle_.assign(threads, 0);
    ended_.assign(threads, 0);
    try {
        for (std::size_t i = 0; i < threads; ++i)
            threads_.emplace_back([this, i] { work(i); });
    } catch (...) {
        // The threads started read on; with none, the failure goes to the caller.
        if (threads_.empty())
            throw;
        std::lock_guard lock(mutex_);
        std::fill(ended_.begin() + static_cast<std::ptrdiff_t>(threads_.size()), ended_.end(),
                  char{1});
    }
}

WorkbookReadAhead::~WorkbookReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        wakeIdleReaders(true);
    }
    for (std::thread& thread : threads_)
        thread.join();
}

WorkbookReadAhead::FileStamp WorkbookReadAhead::stampOf(const std::string& path) {
    FileStamp stamp;
#if defined(__linux__)
    // One call where std::filesystem makes three: a stamp is taken twice for every workbook.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = S_ISREG(status.st_mode) ? static_cast<std::uintmax_t>(status.st_size) : 0;
    stamp.changed = std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
#else
    namespace fs = std::filesystem;
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error || !fs::exists(status))
        return stamp;
    stamp.exists = true;
    stamp.size = fs::is_regular_file(status) ? fs::file_size(path, error) : 0;
    const auto changed = fs::last_write_time(path, error);
    if (!error)
        stamp.changed = changed.time_since_epoch().count();
#endif
    return stamp;
}

bool WorkbookReadAhead::hasWork(std::size_t reader) const {
    return stopping_ || !disposals_[reader].empty() || taken_ >= entries_.size() ||
           (next_ < entries_.size() && next_ < taken_ + depth_);
}

void WorkbookReadAhead::work(std::size_t reader) {
    std::unique_lock lock(mutex_);
    while (true) {
        idle_[reader] = 1;
        wake_[reader].wait(lock, [this, reader] { return hasWork(reader); });
        idle_[reader] = 0;
        if (!disposals_[reader].empty()) {
            auto done = std::move(disposals_[reader]);
            disposals_[reader].clear();
            lock.unlock();
            done.clear();
            lock.lock();
            continue;
        }
        if (stopping_ || taken_ >= entries_.size()) {
            ended_[reader] = 1;
            return;
        }
        const std::size_t index = next_++;
        if (index < taken_)
            continue;
        Entry& entry = entries_[index];
        entry.state = State::Reading;
        entry.reader = reader;
        const std::string path = entry.path;
        lock.unlock();
        // Stamped before reading: a change during the read shows as a different stamp later.
        FileStamp stamp = stampOf(path);
        std::unique_ptr<Workbook> model;
        std::exception_ptr failure;
        try {
            model = reader_(path);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        entry.stamp = stamp;
        entry.state = index < taken_ && !entry.claimed ? State::Dropped : State::Ready;
        if (entry.state == State::Ready) {
            entry.model = std::move(model);
            entry.failure = failure;
        }
        // Only a caller that asked for this workbook while it was read waits for it; woken
        // after the lock is let go, it does not wake only to wait for the lock.
        if (entry.claimed) {
            lock.unlock();
            readDone_.notify_all();
            lock.lock();
        }
    }
}

std::size_t WorkbookReadAhead::readerOf(const Workbook* workbook) {
    const auto found = std::find_if(handedOut_.begin(), handedOut_.end(),
                                    [workbook](const auto& out) { return out.first == workbook; });
    if (found == handedOut_.end())
        return 0;
    const std::size_t reader = found->second;
    handedOut_.erase(found);
    return reader;
}

std::size_t WorkbookReadAhead::pendingDisposals() const {
    std::size_t pending = 0;
    for (const auto& disposals : disposals_)
        pending += disposals.size();
    return pending;
}

void WorkbookReadAhead::dispose(std::unique_ptr<Workbook> workbook) {
    std::unique_lock lock(mutex_);
    const std::size_t reader = readerOf(workbook.get());
    // Threads kept from running must not gather workbooks: beyond a few, the caller frees.
    if (ended_[reader] || pendingDisposals() >= depth_)
        return;
    disposals_[reader].push_back(std::move(workbook));
    const bool waiting = idle_[reader] != 0;
    lock.unlock();
    if (waiting)
        wake_[reader].notify_one();
}

void WorkbookReadAhead::wakeIdleReaders(bool all) {
    for (std::size_t reader = 0; reader < idle_.size(); ++reader) {
        if (!idle_[reader])
            continue;
        wake_[reader].notify_one();
        if (!all)
            return;
    }
}

std::size_t WorkbookReadAhead::findAhead(const std::string& path) const {
    for (std::size_t i = taken_; i < entries_.size(); ++i)
        if (entries_[i].path == path)
            return i;
    return entries_.size();
}

void WorkbookReadAhead::passOver(std::size_t end) {
    for (std::size_t i = taken_; i < end; ++i) {
        Entry& entry = entries_[i];
        if (entry.state == State::Ready) {
            entry.model.reset();
            entry.failure = nullptr;
        }
        if (entry.state != State::Reading)
            entry.state = State::Dropped;
    }
    taken_ = std::max(taken_, end);
}

std::unique_ptr<Workbook> WorkbookReadAhead::take(const std::string& path) {
    std::unique_lock lock(mutex_);
    const std::size_t index = findAhead(path);
    if (index == entries_.size())
        return nullptr;
    passOver(index);
    Entry& entry = entries_[index];
    const bool started = entry.state != State::Waiting;
    // Each entry passed over or taken frees a place to read ahead into; once the last is
    // taken, every thread ends.
    wakeIdleReaders(index + 1 - taken_ > 1 || index + 1 == entries_.size());
    taken_ = index + 1;
    if (!started) {
        entry.state = State::Dropped;
        return nullptr;
    }
    entry.claimed = true;
    readDone_.wait(lock, [&entry] { return entry.state != State::Reading; });
    entry.state = State::Dropped;
    auto model = std::move(entry.model);
    auto failure = entry.failure;
    entry.failure = nullptr;
    const FileStamp stamp = entry.stamp;
    if (model) {
        // Only the latest few are remembered: a workbook never given back is forgotten.
        if (handedOut_.size() >= 4 * depth_)
            handedOut_.erase(handedOut_.begin());
        handedOut_.emplace_back(model.get(), entry.reader);
    }
    lock.unlock();
    if (stampOf(path) != stamp)
        return nullptr;
    if (failure)
        std::rethrow_exception(failure);
    return model;
}

} // namespace sheet
