#include "sheet/chunk_deflater.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>
#include <zlib.h>

#if TABRINEL_HAVE_ISAL
#include <isa-l/igzip_lib.h>
#endif

namespace sheet {

namespace {

// A first guess at the compressed size, grown as needed: sheet XML shrinks to a sixth or less,
// and every byte guessed is cleared before it is written.
std::size_t firstGuess(std::size_t inputSize) {
    return inputSize / 4 + 4096;
}

// What one call of a library's deflate did with the room it was given.
struct DeflateStep {
    bool failed = false;
    bool complete = false;  // the chunk is written whole
    std::size_t unused = 0; // of the room given
};

// Calls `step` with where to write and how much room there is, doubling `output` until the
// chunk is complete; `output` ends as long as what was written.
template <typename Step>
bool deflateGrowing(std::string& output, std::size_t inputSize, const Step& step) {
    output.resize(firstGuess(inputSize));
    std::size_t written = 0;
    for (;;) {
        const DeflateStep done = step(output.data() + written, output.size() - written);
        if (done.failed)
            return false;
        written = output.size() - done.unused;
        if (done.complete)
            break;
        output.resize(output.size() * 2);
    }
    output.resize(written);
    return true;
}

class ZlibDeflater final : public ChunkDeflater {
public:
    explicit ZlibDeflater(int level) {
        ready_ =
            deflateInit2(&stream_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~ZlibDeflater() override {
        if (ready_)
            deflateEnd(&stream_);
    }
    ZlibDeflater(const ZlibDeflater&) = delete;
    ZlibDeflater& operator=(const ZlibDeflater&) = delete;

    bool ready() const { return ready_; }

    bool deflate(std::string_view input, std::string_view dictionary, bool last,
                 std::string& output) override {
        if (deflateReset(&stream_) != Z_OK)
            return false;
        if (!dictionary.empty() &&
            deflateSetDictionary(&stream_, reinterpret_cast<const Bytef*>(dictionary.data()),
                                 static_cast<uInt>(dictionary.size())) != Z_OK)
            return false;
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        stream_.avail_in = static_cast<uInt>(input.size());
        return deflateGrowing(output, input.size(), [&](char* at, std::size_t room) {
            stream_.next_out = reinterpret_cast<Bytef*>(at);
            stream_.avail_out = static_cast<uInt>(room);
            const int result = ::deflate(&stream_, flush);
            DeflateStep done;
            done.failed = result == Z_STREAM_ERROR;
            done.complete =
                last ? result == Z_STREAM_END : stream_.avail_in == 0 && stream_.avail_out > 0;
            done.unused = stream_.avail_out;
            return done;
        });
    }

private:
    z_stream stream_{};
    bool ready_ = false;
};

#if TABRINEL_HAVE_ISAL
// ISA-L compresses sheet XML three to four times as fast as zlib at level 1, and smaller.
class IsalDeflater final : public ChunkDeflater {
public:
    explicit IsalDeflater(int zlibLevel)
        : level_(zlibLevel <= 1   ? 1
                 : zlibLevel <= 5 ? 2
                                  : 3),
          levelBuffer_(level_ == 1   ? ISAL_DEF_LVL1_DEFAULT
                       : level_ == 2 ? ISAL_DEF_LVL2_DEFAULT
                                     : ISAL_DEF_LVL3_DEFAULT) {}

    bool deflate(std::string_view input, std::string_view dictionary, bool last,
                 std::string& output) override {
        isal_zstream stream;
        isal_deflate_init(&stream);
        stream.level = level_;
        stream.level_buf = levelBuffer_.data();
        stream.level_buf_size = static_cast<std::uint32_t>(levelBuffer_.size());
        if (!dictionary.empty() &&
            isal_deflate_set_dict(
                &stream, reinterpret_cast<std::uint8_t*>(const_cast<char*>(dictionary.data())),
                static_cast<std::uint32_t>(dictionary.size())) != COMP_OK)
            return false;
        stream.end_of_stream = last ? 1 : 0;
        stream.flush = last ? NO_FLUSH : SYNC_FLUSH;
        stream.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(input.data()));
        stream.avail_in = static_cast<std::uint32_t>(input.size());
        return deflateGrowing(output, input.size(), [&](char* at, std::size_t room) {
            stream.next_out = reinterpret_cast<std::uint8_t*>(at);
            stream.avail_out = static_cast<std::uint32_t>(room);
            const int result = isal_deflate(&stream);
            DeflateStep done;
            done.failed = result != COMP_OK;
            done.complete = last ? stream.internal_state.state == ZSTATE_END
                                 : stream.avail_in == 0 && stream.avail_out > 0;
            done.unused = stream.avail_out;
            return done;
        });
    }

private:
    std::uint32_t level_;
    std::vector<std::uint8_t> levelBuffer_;
};
#endif

} // namespace

std::unique_ptr<ChunkDeflater> ChunkDeflater::make(int level, DeflateLibrary library) {
    level = std::clamp(level, 1, 9);
    try {
#if TABRINEL_HAVE_ISAL
        if (library == DeflateLibrary::Fastest)
            return std::make_unique<IsalDeflater>(level);
#else
        (void)library;
#endif
        auto zlib = std::make_unique<ZlibDeflater>(level);
        if (!zlib->ready())
            return nullptr;
        return zlib;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace sheet
