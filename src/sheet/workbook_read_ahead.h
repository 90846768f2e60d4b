// Reading ahead: while the caller works on one workbook, the next workbooks of its list are
// read on threads of their own, a few at a time, so that opening them later costs nothing.
//
// Reading ahead never changes what an open gives: a workbook is handed over only when it was
// asked for by the very path it was read from and its file is unchanged since (size and time of
// last change); a failed read is handed over as the same failure, at the open that asks for it.
// Anything else is read again by the caller.
#pragma once

#include "sheet/model.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sheet {

class WorkbookReadAhead {
public:
    using Reader = std::function<std::unique_ptr<Workbook>(const std::string& path)>;

    // How many workbooks may wait read but not yet asked for.
    static constexpr std::size_t kDefaultDepth = 6;
    // Reading threads: one per core, up to two. Reading is most of a method's work and the
    // caller's share is small, so even on two cores a second reader shortens the run.
    static std::size_t defaultThreads();

    // Starts reading `paths` in order with `reader`, at most `depth` beyond the last one taken,
    // on `threads` threads (never more than `depth`). `reader` is called on several threads at
    // once and must keep nothing between calls.
    WorkbookReadAhead(std::vector<std::string> paths, Reader reader,
                      std::size_t depth = kDefaultDepth, std::size_t threads = defaultThreads());
    // Ends the reading threads; reads under way are finished first and dropped.
    ~WorkbookReadAhead();
    WorkbookReadAhead(const WorkbookReadAhead&) = delete;
    WorkbookReadAhead& operator=(const WorkbookReadAhead&) = delete;

    // The workbook read ahead for `path`, waiting for a read under way; null when the path is
    // not among those still ahead, was not started yet, or its file changed since. Rethrows the
    // read's failure. Entries of the list before the one taken are dropped.
    std::unique_ptr<Workbook> take(const std::string& path);

    // Frees a workbook the caller is done with on a reading thread, so that the caller goes on
    // at once: on the thread that read it, whose memory it is (freeing it on another makes
    // that thread and the one that reads wait for each other's heap). Freed here when those
    // threads have ended or are already behind with as many as they may read ahead.
    void dispose(std::unique_ptr<Workbook> workbook);

private:
    struct FileStamp {
        bool exists = false;
        std::uintmax_t size = 0;
        std::int64_t changed = 0;
        bool operator==(const FileStamp&) const = default;
    };
    enum class State { Waiting, Reading, Ready, Dropped };
    struct Entry {
        std::string path;
        State state = State::Waiting;
        FileStamp stamp;
        std::unique_ptr<Workbook> model;
        std::exception_ptr failure;
        bool claimed = false;   // taken while its read was under way
        std::size_t reader = 0; // the thread that read it
    };

    static FileStamp stampOf(const std::string& path);
    void work(std::size_t reader);
    bool hasWork(std::size_t reader) const;
    // The thread that read a workbook handed out, forgotten as it is asked; the first
    // thread for a workbook not read here.
    std::size_t readerOf(const Workbook* workbook);
    std::size_t pendingDisposals() const;
    // Wakes the idle reading threads, or only the first of them. Called with the lock held;
    // the threads woken take it once the caller lets go.
    void wakeIdleReaders(bool all);
    std::size_t findAhead(const std::string& path) const;
    void passOver(std::size_t end);

    Reader reader_;
    std::size_t depth_;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;  // the first entry the thread has not started
    std::size_t taken_ = 0; // entries before this one were taken or passed over
    bool stopping_ = false;
    std::vector<std::vector<std::unique_ptr<Workbook>>> disposals_;  // by reading thread
    std::vector<std::pair<const Workbook*, std::size_t>> handedOut_; // workbook, its reader
    mutable std::mutex mutex_;
    // A condition for each reading thread and one for the caller, so that a finished read
    // wakes only the caller, a taken workbook one idle thread, a disposed one its reader.
    std::unique_ptr<std::condition_variable[]> wake_; // by reading thread
    std::vector<char> idle_;                          // by reading thread: waiting on wake_
    std::vector<char> ended_;                         // by reading thread
    std::condition_variable readDone_;
    std::vector<std::thread> threads_;
};

} // namespace sheet
