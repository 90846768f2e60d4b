#include "sheet/xlsx_sheet_extras.h"

#include "sheet/xlsx_comments.h"
#include "sheet/xlsx_sheet_features.h"
#include "sheet/xml_part.h"
#include "sheet/zip_archive.h"

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

} // namespace

void readSheetExtras(pugi::xml_node worksheet, const std::string& sheetPart,
                     const WorkbookSources& sources, Worksheet& sheet) {
    const std::vector<PackageRelation> relations = readPackageRelations(sources.zip, sheetPart);
    readSheetFeatures(worksheet, {sources.colors, sources.differentialStyles, relations}, sheet);
    readNotes(relations, sources, sheet);
    readSheetAttachments(worksheet, relations, sources.carrier, sheet);
}

} // namespace sheet
