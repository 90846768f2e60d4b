// An immutable string shared between the cells that hold it: one pointer wide, copied by
// counting, so a text read once from a workbook's string table costs its bytes once however
// many cells (and pasted copies of them) show it.
#pragma once

#include <atomic>
#include <compare>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace sheet {

class SharedText {
public:
    SharedText() noexcept = default;
    SharedText(std::string text);
    SharedText(std::string_view text) : SharedText(std::string(text)) {}
    SharedText(const char* text) : SharedText(std::string(text)) {}
    SharedText(const SharedText& other) noexcept : block_(other.block_) { retain(); }
    SharedText(SharedText&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    ~SharedText() { release(); }

    SharedText& operator=(const SharedText& other) noexcept;
    SharedText& operator=(SharedText&& other) noexcept;
    SharedText& operator=(std::string text) { return *this = SharedText(std::move(text)); }
    SharedText& operator=(const char* text) { return *this = SharedText(text); }

    const std::string& str() const noexcept { return block_ ? block_->text : emptyText(); }
    operator const std::string&() const noexcept { return str(); }
    operator std::string_view() const noexcept { return str(); }
    std::string_view view() const noexcept {
        return block_ ? std::string_view(block_->text) : std::string_view();
    }

    bool empty() const noexcept { return !block_ || block_->text.empty(); }
    std::size_t size() const noexcept { return block_ ? block_->text.size() : 0; }
    const char* data() const noexcept { return str().data(); }
    const char* c_str() const noexcept { return str().c_str(); }
    char operator[](std::size_t index) const noexcept { return str()[index]; }
    char front() const noexcept { return str().front(); }
    char back() const noexcept { return str().back(); }
    void clear() noexcept;

    friend bool operator==(const SharedText& a, const SharedText& b) noexcept {
        return a.block_ == b.block_ || a.str() == b.str();
    }
    friend bool operator==(const SharedText& a, std::string_view b) noexcept {
        return a.view() == b;
    }
    friend bool operator==(const SharedText& a, const std::string& b) noexcept {
        return a.str() == b;
    }
    friend bool operator==(const SharedText& a, const char* b) noexcept { return a.view() == b; }
    friend std::strong_ordering operator<=>(const SharedText& a, const SharedText& b) noexcept {
        return a.str() <=> b.str();
    }
    friend std::string operator+(const std::string& a, const SharedText& b) { return a + b.str(); }
    friend std::string operator+(const SharedText& a, const std::string& b) { return a.str() + b; }
    friend std::string operator+(const char* a, const SharedText& b) { return a + b.str(); }
    friend std::string operator+(const SharedText& a, const char* b) { return a.str() + b; }
    friend std::string operator+(char a, const SharedText& b) { return a + b.str(); }
    friend std::string operator+(const SharedText& a, char b) { return a.str() + b; }

private:
    struct Block {
        explicit Block(std::string value) : text(std::move(value)) {}
        std::atomic<unsigned> references{1};
        const std::string text;
    };

    static const std::string& emptyText() noexcept;
    // Inline, as every cell's text and formula pass through them and are mostly empty.
    void retain() const noexcept {
        if (block_)
            block_->references.fetch_add(1, std::memory_order_relaxed);
    }
    void release() noexcept {
        if (block_ && block_->references.fetch_sub(1, std::memory_order_acq_rel) == 1)
            destroy();
    }
    void destroy() noexcept;

    Block* block_ = nullptr;
};

std::ostream& operator<<(std::ostream& out, const SharedText& text);

} // namespace sheet
