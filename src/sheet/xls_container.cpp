#include "sheet/xls_container.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <algorithm>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>
#include <memory>
#include <mutex>

namespace sheet {

namespace {

struct GObjectRelease {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectRelease>;

void ensureLibraryReady() {
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // The library describes every flaw it works around on stderr; the reader reports
        // what matters in its own message.
        for (const char* domain : {"libgsf", "libgsf:msole"})
            g_log_set_handler(
                domain,
                static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING |
                                            G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO |
                                            G_LOG_LEVEL_DEBUG),
                [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

std::string takeMessage(GError* error) {
    if (!error)
        return {};
    std::string message = error->message ? error->message : "";
    g_error_free(error);
    return message;
}

bool sameNameIgnoringCase(const char* name, std::string_view wanted) {
    if (!name)
        return false;
    std::string_view text(name);
    return std::equal(text.begin(), text.end(), wanted.begin(), wanted.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

int childNamed(GsfInfile* container, std::string_view wanted) {
    const int count = gsf_infile_num_children(container);
    for (int i = 0; i < count; ++i)
        if (sameNameIgnoringCase(gsf_infile_name_by_index(container, i), wanted))
            return i;
    return -1;
}

std::string readWhole(GsfInput* stream, const std::string& path, const ReadLimits& limits,
                      std::uint64_t containerSize) {
    const gsf_off_t size = gsf_input_size(stream);
    if (size < 0)
        throwFileError(path, io_messages::kCorruptZip);
    if (static_cast<std::uint64_t>(size) > limits.maxPartBytes)
        throwFileError(path, io_messages::kPartTooLarge,
                       std::to_string(limits.maxPartBytes >> 20) + " MB");
    // A stream cannot hold more than its container: a larger size comes from a damaged directory.
    if (static_cast<std::uint64_t>(size) > containerSize)
        throwFileError(path, io_messages::kCorruptZip, "stream size");
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size > 0 &&
        !gsf_input_read(stream, static_cast<size_t>(size), reinterpret_cast<guint8*>(bytes.data())))
        throwFileError(path, io_messages::kCorruptZip, "stream");
    return bytes;
}

// An encrypted .xlsx whose container the library refuses still names its EncryptionInfo
// stream (in UTF-16) in the directory: it is reported as encrypted, not as damaged.
bool namesEncryptionInfo(GsfInput* input) {
    static const std::string kName = [] {
        std::string name;
        for (char c : std::string_view("EncryptionInfo")) {
            name += c;
            name += '\0';
        }
        return name;
    }();
    const gsf_off_t size = gsf_input_size(input);
    if (size <= 0 || gsf_input_seek(input, 0, G_SEEK_SET))
        return false;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!gsf_input_read(input, bytes.size(), reinterpret_cast<guint8*>(bytes.data())))
        return false;
    return bytes.find(kName) != std::string::npos;
}

std::string readFromInput(GsfInput* input, const std::string& path, const ReadLimits& limits) {
    const auto containerSize =
        static_cast<std::uint64_t>(std::max<gsf_off_t>(0, gsf_input_size(input)));
    GError* error = nullptr;
    GObjectPtr<GsfInfile> container(gsf_infile_msole_new(input, &error));
    if (!container) {
        const std::string reason = takeMessage(error);
        if (namesEncryptionInfo(input))
            throwFileError(path, io_messages::kEncrypted);
        throwFileError(path, io_messages::kCorruptZip, reason);
    }
    takeMessage(error);
    if (childNamed(container.get(), "EncryptionInfo") >= 0)
        throwFileError(path, io_messages::kEncrypted);
    int index = childNamed(container.get(), "Workbook");
    if (index < 0)
        index = childNamed(container.get(), "Book");
    if (index < 0)
        throwFileError(path, io_messages::kMissingPart, "Workbook");
    GObjectPtr<GsfInput> stream(gsf_infile_child_by_index(container.get(), index));
    if (!stream)
        throwFileError(path, io_messages::kCorruptZip, "Workbook");
    return readWhole(stream.get(), path, limits, containerSize);
}

} // namespace

std::string readXlsWorkbookStream(const std::string& path, const ReadLimits& limits) {
    ensureLibraryReady();
    GError* error = nullptr;
    GObjectPtr<GsfInput> input(GSF_INPUT(gsf_input_stdio_new(path.c_str(), &error)));
    if (!input)
        throwFileError(path, io_messages::kCannotOpen, takeMessage(error));
    takeMessage(error);
    return readFromInput(input.get(), path, limits);
}

std::string readXlsWorkbookStream(std::string_view bytes, const std::string& path,
                                  const ReadLimits& limits) {
    ensureLibraryReady();
    GObjectPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                                    static_cast<gsf_off_t>(bytes.size()), FALSE));
    if (!input)
        throwFileError(path, io_messages::kCannotOpen);
    return readFromInput(input.get(), path, limits);
}

} // namespace sheet
