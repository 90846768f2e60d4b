#include "sheet/workbook_io.h"
#include "sheet/workbook_read_ahead.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace {

namespace fs = std::filesystem;
using sheet::Workbook;
using sheet::WorkbookReadAhead;

// Files whose "workbook" is one sheet named after the file's text; reading "bad" fails.
class ReadAheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("read_ahead_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) const {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::trunc) << text;
        return path;
    }

    WorkbookReadAhead::Reader reader() {
        return [this](const std::string& path) {
            {
                std::lock_guard lock(mutex);
                readPaths.insert(path);
            }
            ++reads;
            std::ifstream in(path);
            if (!in)
                throw sheet::FileError(path + ": no such file");
            std::string text;
            std::getline(in, text);
            if (text == "bad")
                throw sheet::FileError(path + ": damaged");
            auto book = std::make_unique<Workbook>();
            book->sheets.push_back(std::make_unique<sheet::Worksheet>(text));
            return book;
        };
    }

    // Waits until `count` reads happened, or a second passed.
    void waitForReads(int count) const {
        for (int i = 0; i < 1000 && reads.load() < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    fs::path dir;
    std::mutex mutex;
    std::set<std::string> readPaths;
    std::atomic<int> reads{0};
};

TEST_F(ReadAheadTest, HandsOverEachWorkbookOnceInListOrder) {
    const std::string a = write("a.xlsx", "가"), b = write("b.xlsx", "나");
    WorkbookReadAhead ahead({a, b}, reader());
    waitForReads(2);
    auto first = ahead.take(a);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->sheets.front()->name, "가");
    auto second = ahead.take(b);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->sheets.front()->name, "나");
    // Taken once: a second open of either reads the file itself.
    EXPECT_EQ(ahead.take(a), nullptr);
    EXPECT_EQ(ahead.take(b), nullptr);
    EXPECT_EQ(ahead.take(write("c.xlsx", "다")), nullptr);
    EXPECT_EQ(reads.load(), 2);
}

// Two threads read two workbooks at once; the caller still gets them one by one, in order.
TEST_F(ReadAheadTest, SeveralThreadsReadAtOnceAndHandOverInListOrder) {
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i)
        paths.push_back(write(std::to_string(i) + ".xlsx", std::to_string(i)));
    std::atomic<int> inFlight{0}, mostInFlight{0};
    auto pairedReader = [&, inner = reader()](const std::string& path) {
        const int now = ++inFlight;
        mostInFlight = std::max(mostInFlight.load(), now);
        // The first read waits (five seconds at most) for a second one to start beside it.
        for (int i = 0; i < 5000 && path == paths[0] && mostInFlight.load() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        auto book = inner(path);
        --inFlight;
        return book;
    };
    WorkbookReadAhead ahead(paths, pairedReader, 3, 2);
    for (int i = 0; i < 6; ++i) {
        waitForReads(i + 1);
        auto book = ahead.take(paths[static_cast<std::size_t>(i)]);
        ASSERT_NE(book, nullptr) << i;
        EXPECT_EQ(book->sheets.front()->name, std::to_string(i));
    }
    EXPECT_EQ(mostInFlight.load(), 2);
    EXPECT_EQ(reads.load(), 6);
}

TEST_F(ReadAheadTest, AWorkbookNotStartedYetIsLeftToTheCaller) {
    const std::string a = write("a.xlsx", "가");
    WorkbookReadAhead ahead({write("first.xlsx", "0"), a}, reader(), 1);
    waitForReads(1);
    EXPECT_EQ(ahead.take(a), nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(reads.load(), 1);
}

TEST_F(ReadAheadTest, ReadsNoFurtherThanItsDepthBeyondTheLastTaken) {
    std::vector<std::string> paths;
    for (int i = 0; i < 8; ++i)
        paths.push_back(write(std::to_string(i) + ".xlsx", std::to_string(i)));
    WorkbookReadAhead ahead(paths, reader(), 2);
    waitForReads(2);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(reads.load(), 2);
    ASSERT_NE(ahead.take(paths[0]), nullptr);
    waitForReads(3);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(reads.load(), 3);
    // Skipping ahead drops what lies before; those are read again by whoever opens them.
    ASSERT_NE(ahead.take(paths[2]), nullptr);
    EXPECT_EQ(ahead.take(paths[1]), nullptr);
    waitForReads(5);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(reads.load(), 5);
    std::lock_guard lock(mutex);
    EXPECT_EQ(readPaths.count(paths[5]), 0u);
}

TEST_F(ReadAheadTest, FailedReadsFailAtTheirOwnTake) {
    const std::string good = write("good.xlsx", "가");
    const std::string bad = write("bad.xlsx", "bad");
    const std::string missing = (dir / "missing.xlsx").string();
    WorkbookReadAhead ahead({good, missing, bad}, reader());
    waitForReads(3);
    ASSERT_NE(ahead.take(good), nullptr);
    try {
        ahead.take(missing);
        FAIL() << "a missing file was handed over";
    } catch (const sheet::FileError& error) {
        EXPECT_EQ(std::string(error.what()), missing + ": no such file");
    }
    EXPECT_THROW(ahead.take(bad), sheet::FileError);
}

TEST_F(ReadAheadTest, FileChangedOrAddedSinceItsReadIsLeftToTheCaller) {
    const std::string changed = write("changed.xlsx", "before");
    const std::string added = (dir / "added.xlsx").string();
    WorkbookReadAhead ahead({changed, added}, reader());
    waitForReads(2);
    write("changed.xlsx", "after, and longer");
    write("added.xlsx", "가");
    EXPECT_EQ(ahead.take(changed), nullptr);
    EXPECT_EQ(ahead.take(added), nullptr);
}

// A workbook handed back is freed, on the reading thread while it runs and at once after.
TEST_F(ReadAheadTest, DisposedWorkbooksAreFreed) {
    const std::string a = write("a.xlsx", "가"), b = write("b.xlsx", "나");
    WorkbookReadAhead ahead({a, b}, reader());
    waitForReads(2);
    for (const std::string& path : {a, b}) {
        auto book = ahead.take(path);
        ASSERT_NE(book, nullptr);
        auto part = std::make_shared<const sheet::PackagePart>();
        std::weak_ptr<const sheet::PackagePart> watched = part;
        book->workbookParts.push_back({"drawing", "type", std::move(part), {}});
        ahead.dispose(std::move(book));
        for (int i = 0; i < 1000 && !watched.expired(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(watched.expired()) << path;
    }
}

// A workbook's memory is freed by the thread that read it: freed by another, the two threads
// would wait for each other's heap. (Past the end of the list the threads end, and the caller
// frees.)
TEST_F(ReadAheadTest, EachDisposedWorkbookIsFreedOnTheThreadThatReadIt) {
    std::mutex threads;
    std::map<std::string, std::thread::id> readOn, freedOn;
    auto tracingReader = [&, inner = reader()](const std::string& path) {
        auto book = inner(path);
        const auto deleter = [&, path](const sheet::PackagePart* part) {
            std::lock_guard lock(threads);
            freedOn[path] = std::this_thread::get_id();
            delete part;
        };
        book->workbookParts.push_back(
            {"drawing",
             "type",
             std::shared_ptr<const sheet::PackagePart>(new sheet::PackagePart, deleter),
             {}});
        std::lock_guard lock(threads);
        readOn[path] = std::this_thread::get_id();
        return book;
    };
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back(write(std::to_string(i) + ".xlsx", std::to_string(i)));
    const std::vector<std::string> taken(paths.begin(), paths.end() - 4);
    {
        WorkbookReadAhead ahead(paths, tracingReader, 4, 2);
        for (std::size_t i = 0; i < taken.size(); ++i) {
            const std::string& path = taken[i];
            waitForReads(static_cast<int>(i) + 1); // one not started is left to the caller
            auto book = ahead.take(path);
            ASSERT_NE(book, nullptr) << path;
            ahead.dispose(std::move(book));
            // One at a time: disposals beyond the depth are freed by the caller.
            for (int wait = 0; wait < 1000; ++wait) {
                if (std::lock_guard lock(threads); freedOn.count(path))
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }
    std::lock_guard lock(threads);
    std::set<std::thread::id> readers;
    for (const std::string& path : taken) {
        ASSERT_TRUE(freedOn.count(path)) << path;
        EXPECT_EQ(freedOn[path], readOn[path]) << path;
        readers.insert(readOn[path]);
    }
    EXPECT_EQ(readers.count(std::this_thread::get_id()), 0u);
}

// While the reading thread is held up, workbooks handed back beyond its depth are freed at once.
TEST_F(ReadAheadTest, DisposalsWaitNoFurtherThanTheDepth) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> holding{false};
    auto heldReader = [&holding, released, inner = reader()](const std::string& path) {
        holding = true;
        released.wait();
        return inner(path);
    };
    WorkbookReadAhead ahead({write("a.xlsx", "가")}, heldReader, 1);
    for (int i = 0; i < 1000 && !holding.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(holding.load());
    std::vector<std::weak_ptr<const sheet::PackagePart>> watched;
    for (int i = 0; i < 3; ++i) {
        auto book = std::make_unique<Workbook>();
        auto part = std::make_shared<const sheet::PackagePart>();
        watched.push_back(part);
        book->workbookParts.push_back({"drawing", "type", std::move(part), {}});
        ahead.dispose(std::move(book));
    }
    EXPECT_FALSE(watched[0].expired());
    EXPECT_TRUE(watched[1].expired());
    EXPECT_TRUE(watched[2].expired());
    release.set_value();
}

TEST_F(ReadAheadTest, EndingWhileReadingFinishesOnlyTheReadUnderWay) {
    std::vector<std::string> paths;
    for (int i = 0; i < 50; ++i)
        paths.push_back(write(std::to_string(i) + ".xlsx", std::to_string(i)));
    auto slowReader = [inner = reader()](const std::string& path) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return inner(path);
    };
    {
        WorkbookReadAhead ahead(paths, slowReader, 50);
        waitForReads(1);
    }
    const int readsAtEnd = reads.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(reads.load(), readsAtEnd);
    EXPECT_LT(readsAtEnd, 50);
}

} // namespace
