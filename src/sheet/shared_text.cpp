#include "sheet/shared_text.h"

#include <ostream>

namespace sheet {

SharedText::SharedText(std::string text) {
    if (!text.empty())
        block_ = new Block(std::move(text));
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
    if (block_ == other.block_)
        return *this;
    other.retain();
    release();
    block_ = other.block_;
    return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
    if (this == &other)
        return *this;
    release();
    block_ = other.block_;
    other.block_ = nullptr;
    return *this;
}

void SharedText::clear() noexcept {
    release();
    block_ = nullptr;
}

const std::string& SharedText::emptyText() noexcept {
    static const std::string empty;
    return empty;
}

void SharedText::destroy() noexcept {
    delete block_;
    block_ = nullptr;
}

std::ostream& operator<<(std::ostream& out, const SharedText& text) {
    return out << text.str();
}

} // namespace sheet
