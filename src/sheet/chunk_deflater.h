// Compressing one chunk of a raw deflate stream on its own: primed with the bytes before it,
// so that it refers back into them as the one stream would, and ending on a byte boundary
// unless it is the last chunk of the stream, so that the compressed chunks join end to end.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace sheet {

enum class DeflateLibrary {
    Fastest, // ISA-L's deflate where the program was built with it, else zlib's
    Zlib,
};

class ChunkDeflater {
public:
    virtual ~ChunkDeflater() = default;

    // `level` is zlib's 1..9; ISA-L's levels 1 to 3 stand for 1, 2 to 5 and 6 to 9.
    // Null when the library could not have its memory.
    static std::unique_ptr<ChunkDeflater> make(int level, DeflateLibrary library);

    // Replaces `output` with `input` compressed after `dictionary` (at most the last 32 KB of
    // the stream before it). False when the library failed.
    virtual bool deflate(std::string_view input, std::string_view dictionary, bool last,
                         std::string& output) = 0;
};

} // namespace sheet
