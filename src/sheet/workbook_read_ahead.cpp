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
    try {
        for (std::size_t i = 0; i < threads; ++i) {
            {
                std::lock_guard lock(mutex_);
                ++running_;
            }
            threads_.emplace_back([this] { work(); });
        }
    } catch (...) {
        // The threads started read on; with none, the failure goes to the caller.
        std::lock_guard lock(mutex_);
        --running_;
        if (threads_.empty())
            throw;
    }
}

WorkbookReadAhead::~WorkbookReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workToDo_.notify_all();
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

bool WorkbookReadAhead::hasWork() const {
    return stopping_ || !disposals_.empty() || taken_ >= entries_.size() ||
           (next_ < entries_.size() && next_ < taken_ + depth_);
}

void WorkbookReadAhead::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        workToDo_.wait(lock, [this] { return hasWork(); });
        if (!disposals_.empty()) {
            auto done = std::move(disposals_);
            disposals_.clear();
            lock.unlock();
            done.clear();
            lock.lock();
            continue;
        }
        if (stopping_ || taken_ >= entries_.size()) {
            --running_;
            return;
        }
        const std::size_t index = next_++;
        if (index < taken_)
            continue;
        Entry& entry = entries_[index];
        entry.state = State::Reading;
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
        readDone_.notify_all();
    }
}

void WorkbookReadAhead::dispose(std::unique_ptr<Workbook> workbook) {
    std::unique_lock lock(mutex_);
    // Threads kept from running must not gather workbooks: beyond a few, the caller frees.
    if (running_ == 0 || disposals_.size() >= depth_)
        return;
    disposals_.push_back(std::move(workbook));
    lock.unlock();
    workToDo_.notify_one();
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
    taken_ = index + 1;
    workToDo_.notify_all();
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
    lock.unlock();
    if (stampOf(path) != stamp)
        return nullptr;
    if (failure)
        std::rethrow_exception(failure);
    return model;
}

} // namespace sheet
