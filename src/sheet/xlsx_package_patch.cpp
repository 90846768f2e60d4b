#include "sheet/xlsx_package_patch.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <list>
#include <zip.h>

namespace sheet {

namespace {

std::string readEntry(zip_t* archive, zip_int64_t index) {
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    if (!file)
        return {};
    std::string data;
    char chunk[1 << 16];
    zip_int64_t got = 0;
    while ((got = zip_fread(file, chunk, sizeof chunk)) > 0)
        data.append(chunk, static_cast<size_t>(got));
    zip_fclose(file);
    return data;
}

} // namespace

void patchPackage(const std::string& file, const std::map<std::string, PartEdit>& edits,
                  const std::string& reportedPath) {
    if (edits.empty())
        return;
    int code = 0;
    zip_t* archive = zip_open(file.c_str(), 0, &code);
    if (!archive)
        throwFileError(reportedPath, io_messages::kCannotWrite, "zip " + std::to_string(code));
    // Sources read their buffers when the archive is closed; the texts live until then.
    std::list<std::string> texts;
    for (const auto& [part, edit] : edits) {
        const zip_int64_t index = zip_name_locate(archive, part.c_str(), 0);
        if (index < 0)
            continue;
        std::string& text = texts.emplace_back(readEntry(archive, index));
        edit(text);
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        if (!source || zip_file_replace(archive, static_cast<zip_uint64_t>(index), source, 0) < 0) {
            if (source)
                zip_source_free(source);
            const std::string reason = zip_strerror(archive);
            zip_discard(archive);
            throwFileError(reportedPath, io_messages::kCannotWrite, reason);
        }
    }
    if (zip_close(archive) < 0) {
        const std::string reason = zip_strerror(archive);
        zip_discard(archive);
        throwFileError(reportedPath, io_messages::kCannotWrite, reason);
    }
}

void addAttributes(std::string& xml, const std::string& element, const std::string& attributes) {
    const std::string opening = "<" + element;
    size_t at = xml.find(opening);
    while (at != std::string::npos) {
        const size_t end = at + opening.size();
        if (end < xml.size() && (xml[end] == ' ' || xml[end] == '/' || xml[end] == '>')) {
            xml.insert(end, attributes);
            return;
        }
        at = xml.find(opening, end);
    }
}

std::string escapeAttribute(const std::string& value) {
    std::string escaped;
    for (char c : value) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace sheet
