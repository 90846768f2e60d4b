#include "sheet/xlsx_sheet_extras.h"

#include "sheet/file_error.h"
#include "sheet/xlsx_comments.h"
#include "sheet/xlsx_sheet_features.h"
#include "sheet/xml_part.h"
#include "sheet/zip_archive.h"

#include <map>

namespace sheet {

namespace {

void readNotes(const std::vector<PackageRelation>& relations, const WorkbookSources& sources,
               Worksheet& sheet) {
    for (const PackageRelation& relation : relations) {
        if (relation.external || !relationTypeIs(relation.type, "comments") ||
            !sources.zip.contains(relation.target))
            continue;
        XmlPart part(sources.zip.read(relation.target), sources.zip.path(), relation.target);
        sheet.comments = readComments(part.root(), sources.colors);
        return;
    }
}

// Whether each note shows all the time is kept in the legacy drawing that draws the notes:
// <x:ClientData ObjectType="Note"> with <x:Row>, <x:Column> (0-based) and <x:Visible/>.
void readNoteVisibility(pugi::xml_node drawing, std::vector<Comment>& comments) {
    std::map<std::pair<long, long>, std::vector<size_t>> notesAt;
    for (size_t i = 0; i < comments.size(); ++i)
        notesAt[{comments[i].row, comments[i].column}].push_back(i);
    for (pugi::xml_node shape = drawing.first_child(); shape; shape = shape.next_sibling()) {
        pugi::xml_node data = childNamed(shape, "ClientData");
        if (!data || attributeText(data, "ObjectType") != "Note" || !childNamed(data, "Visible"))
            continue;
        const auto row = parseInteger(childNamed(data, "Row").child_value());
        const auto column = parseInteger(childNamed(data, "Column").child_value());
        if (!row || !column)
            continue;
        auto found = notesAt.find({*row + 1, *column + 1});
        if (found == notesAt.end())
            continue;
        for (size_t index : found->second)
            comments[index].visible = true;
    }
}

// The legacy drawing is not always well-formed XML; a note then stays hidden.
void readNotesDrawing(const std::vector<PackageRelation>& relations, const WorkbookSources& sources,
                      Worksheet& sheet) {
    if (sheet.comments.empty())
        return;
    for (const PackageRelation& relation : relations) {
        if (relation.external || !relationTypeIs(relation.type, "vmlDrawing") ||
            !sources.zip.contains(relation.target))
            continue;
        std::string bytes = sources.zip.read(relation.target);
        try {
            XmlPart part(std::move(bytes), sources.zip.path(), relation.target);
            readNoteVisibility(part.root(), sheet.comments);
        } catch (const FileError&) {
        }
    }
}

} // namespace

void readSheetExtras(pugi::xml_node worksheet, const std::string& sheetPart,
                     const WorkbookSources& sources, Worksheet& sheet) {
    const std::vector<PackageRelation> relations = readPackageRelations(sources.zip, sheetPart);
    readSheetFeatures(worksheet, {sources.colors, sources.differentialStyles, relations}, sheet);
    readNotes(relations, sources, sheet);
    readNotesDrawing(relations, sources, sheet);
    readSheetAttachments(worksheet, relations, sources.carrier, sheet);
}

} // namespace sheet
