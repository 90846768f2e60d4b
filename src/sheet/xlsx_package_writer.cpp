#include "sheet/xlsx_package_writer.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <thread>
#include <zip.h>

namespace sheet {

// A streamed part is produced on a thread of its own and deflated in chunks on the writer's
// worker threads, a few chunks ahead of the archive, which takes the compressed bytes as they
// are: making the XML and compressing it overlap, and compressing uses every core.
struct PackageWriter::Feed {
    static constexpr std::size_t kChunkBytes = 256 * 1024;

    std::string name;
    std::unique_ptr<PartSource> source;
    PackageWriter* owner = nullptr;
    ParallelDeflate* deflate = nullptr;
    zip_error_t error{};

    std::string current; // the compressed chunk being read by the archive
    std::size_t offset = 0;
    bool complete = false; // every chunk was read; size and crc are the part's
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::thread producer;

    ~Feed() { stopProducing(); }

    void produce() {
        try {
            std::string chunk;
            bool more = true;
            while (more) {
                more = source->produce(chunk);
                if (more && chunk.size() < kChunkBytes)
                    continue;
                if (!deflate->push(std::move(chunk), !more))
                    return;
                chunk = std::string();
                chunk.reserve(kChunkBytes + kChunkBytes / 2);
            }
        } catch (...) {
            deflate->fail(std::current_exception());
        }
    }

    zip_int64_t read(char* data, std::size_t capacity) {
        std::size_t written = 0;
        while (written < capacity && !complete) {
            if (offset == current.size()) {
                offset = 0;
                current.clear();
                if (!deflate->pop(current)) {
                    complete = true;
                    size = deflate->size();
                    crc = deflate->crc();
                    std::string().swap(current); // a package of many sheets keeps every feed
                }
                continue;
            }
            const std::size_t piece = std::min(capacity - written, current.size() - offset);
            std::memcpy(data + written, current.data() + offset, piece);
            written += piece;
            offset += piece;
        }
        return static_cast<zip_int64_t>(written);
    }

    zip_int64_t failed(std::exception_ptr failure) {
        owner->failure_ = std::move(failure);
        zip_error_set(&error, ZIP_ER_INTERNAL, 0);
        return -1;
    }

    zip_int64_t open() {
        stopProducing();
        if (owner->beforePart_)
            owner->beforePart_(name);
        current.clear();
        offset = 0;
        complete = false;
        deflate->begin();
        producer = std::thread([this] { produce(); });
        return 0;
    }

    void stopProducing() {
        if (!producer.joinable())
            return;
        deflate->abandon();
        producer.join();
    }
};

namespace {

// A streamed part's size is known only once it is written. Stating a bound below the zip64
// limits keeps the local header a plain one (libzip writes the real sizes afterwards); an
// unknown size would give every streamed part zip64 fields that strict readers refuse when
// the central directory has none. The part comes already deflated, which the archive learns
// from the compression method stated; its size and CRC are stated once it is read whole.
constexpr zip_uint64_t kStatedPartSize = zip_uint64_t{1} << 31;

zip_int64_t feedCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* feed = static_cast<PackageWriter::Feed*>(state);
    try {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            return feed->open();
        case ZIP_SOURCE_READ:
            return feed->read(static_cast<char*>(data), static_cast<std::size_t>(length));
        case ZIP_SOURCE_CLOSE:
            feed->stopProducing();
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->mtime = std::time(nullptr);
            stat->comp_method = ZIP_CM_DEFLATE;
            stat->size = feed->complete ? feed->size : kStatedPartSize;
            stat->valid |= ZIP_STAT_MTIME | ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD;
            if (feed->complete) {
                stat->crc = feed->crc;
                stat->valid |= ZIP_STAT_CRC;
            }
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&feed->error, data, length);
        case ZIP_SOURCE_FREE:
            feed->stopProducing();
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                  ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&feed->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    } catch (...) {
        return feed->failed(std::current_exception());
    }
}

} // namespace

PackageWriter::PackageWriter(const std::string& file, const std::string& reportedPath,
                             int deflateLevel, std::function<void(std::string_view)> beforePart)
    : reportedPath_(reportedPath), deflateLevel_(std::clamp(deflateLevel, 1, 9)),
      beforePart_(std::move(beforePart)) {
    int code = 0;
    archive_ = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive_) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        throwFileError(reportedPath_, io_messages::kCannotWrite, reason);
    }
}

PackageWriter::~PackageWriter() {
    if (archive_)
        zip_discard(archive_);
}

void PackageWriter::fail(const std::string& reason) {
    zip_discard(archive_);
    archive_ = nullptr;
    throwFileError(reportedPath_, io_messages::kCannotWrite, reason);
}

void PackageWriter::setCompression(long long index, const std::string& name) {
    if (index < 0)
        fail(name + ": " + zip_strerror(archive_));
    if (zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                 static_cast<zip_uint32_t>(deflateLevel_)) < 0)
        fail(name + ": " + zip_strerror(archive_));
}

void PackageWriter::add(const std::string& name, std::string bytes) {
    const std::string& text = texts_.emplace_back(std::move(bytes));
    zip_source_t* source = zip_source_buffer(archive_, text.data(), text.size(), 0);
    if (!source)
        fail(name + ": " + zip_strerror(archive_));
    const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    setCompression(index, name);
    if (beforePart_)
        beforePart_(name);
}

void PackageWriter::add(const std::string& name, std::unique_ptr<PartSource> partSource) {
    if (!deflate_)
        deflate_ = std::make_unique<ParallelDeflate>(deflateLevel_);
    auto feed = std::make_unique<Feed>();
    feed->deflate = deflate_.get();
    feed->name = name;
    feed->source = std::move(partSource);
    feed->owner = this;
    zip_error_init(&feed->error);
    zip_source_t* source = zip_source_function(archive_, feedCallback, feed.get());
    if (!source)
        fail(name + ": " + zip_strerror(archive_));
    feeds_.push_back(std::move(feed));
    const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    setCompression(index, name);
}

void PackageWriter::close() {
    if (zip_close(archive_) == 0) {
        archive_ = nullptr;
        return;
    }
    const std::string reason = zip_strerror(archive_);
    zip_discard(archive_);
    archive_ = nullptr;
    if (failure_)
        std::rethrow_exception(failure_);
    throwFileError(reportedPath_, io_messages::kCannotWrite, reason);
}

} // namespace sheet
