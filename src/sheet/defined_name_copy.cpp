#include "sheet/defined_name_copy.h"

#include "sheet/formula_names.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace sheet::embedded {

namespace {

std::string folded(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return result;
}

// The names of a workbook by folded name: its workbook-level names, and every name taken.
struct NameIndex {
    explicit NameIndex(const Workbook& workbook) {
        for (const DefinedName& name : workbook.names) {
            taken.insert(folded(name.name));
            if (name.localSheet < 0)
                workbookLevel.try_emplace(folded(name.name), &name);
        }
    }
    const DefinedName* workbookName(std::string_view name) const {
        auto found = workbookLevel.find(folded(name));
        return found == workbookLevel.end() ? nullptr : found->second;
    }
    std::map<std::string, const DefinedName*> workbookLevel;
    std::set<std::string> taken;
};

std::string freeName(const NameIndex& from, const NameIndex& to, const std::string& name) {
    for (int n = 2;; ++n) {
        std::string candidate = name + "_" + std::to_string(n);
        if (!from.taken.count(folded(candidate)) && !to.taken.count(folded(candidate)))
            return candidate;
    }
}

// Every formula a sheet holds: cells, conditional formats, validation.
template <typename Visit> void forEachFormula(Worksheet& sheet, Visit visit) {
    for (auto& [row, cells] : sheet.rows())
        for (auto& [column, cell] : cells)
            if (!cell.formula.empty()) {
                std::string text = cell.formula;
                visit(text);
                if (text != cell.formula.str())
                    cell.formula = std::move(text);
            }
    for (ConditionalFormat& format : sheet.conditionalFormats)
        for (ConditionalRule& rule : format.rules)
            for (std::string& formula : rule.formulas)
                visit(formula);
    for (DataValidation& validation : sheet.dataValidations) {
        visit(validation.formula1);
        visit(validation.formula2);
    }
}

NameMapping sheetMapping(const std::string& oldName, const std::string& newName) {
    const std::string wanted = folded(oldName);
    return [wanted, newName](std::string_view sheet) -> std::optional<std::string> {
        if (folded(sheet) != wanted)
            return std::nullopt;
        return newName;
    };
}

class NameCopier {
public:
    NameCopier(const Workbook& from, int sourceIndex, Workbook& to, int copyIndex)
        : from_(from), source_(*from.sheets[static_cast<size_t>(sourceIndex)]),
          sourceIndex_(sourceIndex), to_(to), copy_(*to.sheets[static_cast<size_t>(copyIndex)]),
          copyIndex_(copyIndex),
          sheets_(source_.name == copy_.name ? NameMapping{}
                                             : sheetMapping(source_.name, copy_.name)) {}

    void copy() {
        std::vector<DefinedName> local;
        for (const DefinedName& name : from_.names)
            if (name.localSheet == sourceIndex_)
                local.push_back(name);
        if (&from_ != &to_)
            gatherWorkbookNames(local);
        const NameMapping renames = renameMapping();
        for (DefinedName& name : local) {
            name.localSheet = copyIndex_;
            name.formula = rewriteFormula(name.formula, renames, sheets_);
            to_.names.push_back(std::move(name));
        }
        for (const DefinedName* name : carried_) {
            DefinedName added = *name;
            if (auto renamed = renames_.find(folded(name->name)); renamed != renames_.end())
                added.name = renamed->second;
            added.formula = rewriteFormula(added.formula, renames, sheets_);
            to_.names.push_back(std::move(added));
        }
        if (!renames_.empty())
            forEachFormula(copy_, [&](std::string& formula) {
                formula = rewriteFormula(formula, renames, {});
            });
    }

private:
    // The workbook names the copy uses, followed through the names they use.
    void gatherWorkbookNames(const std::vector<DefinedName>& local) {
        std::set<std::string> localNames;
        for (const DefinedName& name : local)
            localNames.insert(folded(name.name));
        std::deque<std::string> pending;
        forEachFormula(copy_, [&](std::string& formula) {
            for (std::string& name : namesUsedIn(formula))
                pending.push_back(std::move(name));
        });
        for (const DefinedName& name : local)
            for (std::string& used : namesUsedIn(name.formula))
                pending.push_back(std::move(used));
        std::set<std::string> seen;
        while (!pending.empty()) {
            const std::string key = folded(pending.front());
            pending.pop_front();
            if (localNames.count(key) || !seen.insert(key).second)
                continue;
            const DefinedName* name = fromNames_.workbookName(key);
            if (!name)
                continue;
            for (std::string& used : namesUsedIn(name->formula))
                pending.push_back(std::move(used));
            place(*name);
        }
    }

    void place(const DefinedName& name) {
        const std::string formula = rewriteFormula(name.formula, {}, sheets_);
        if (const DefinedName* existing = toNames_.workbookName(name.name)) {
            if (existing->formula == formula)
                return;
            std::string renamed = freeName(fromNames_, toNames_, name.name);
            toNames_.taken.insert(folded(renamed));
            renames_[folded(name.name)] = std::move(renamed);
        }
        carried_.push_back(&name);
    }

    NameMapping renameMapping() const {
        if (renames_.empty())
            return {};
        return [this](std::string_view name) -> std::optional<std::string> {
            auto found = renames_.find(folded(name));
            if (found == renames_.end())
                return std::nullopt;
            return found->second;
        };
    }

    const Workbook& from_;
    const Worksheet& source_;
    int sourceIndex_;
    Workbook& to_;
    Worksheet& copy_;
    int copyIndex_;
    NameMapping sheets_;
    NameIndex fromNames_{from_};
    NameIndex toNames_{to_};
    std::vector<const DefinedName*> carried_;
    std::map<std::string, std::string> renames_; // folded old name -> new name
};

} // namespace

void insertSheet(Workbook& workbook, int position, std::unique_ptr<Worksheet> sheet) {
    for (DefinedName& name : workbook.names)
        if (name.localSheet >= position)
            ++name.localSheet;
    workbook.sheets.insert(workbook.sheets.begin() + position, std::move(sheet));
}

void eraseSheet(Workbook& workbook, int index) {
    std::erase_if(workbook.names,
                  [&](const DefinedName& name) { return name.localSheet == index; });
    for (DefinedName& name : workbook.names)
        if (name.localSheet > index)
            --name.localSheet;
    workbook.sheets.erase(workbook.sheets.begin() + index);
}

void renameSheetInNames(Workbook& workbook, const std::string& oldName,
                        const std::string& newName) {
    const NameMapping sheets = sheetMapping(oldName, newName);
    for (DefinedName& name : workbook.names)
        name.formula = rewriteFormula(name.formula, {}, sheets);
}

void renameSheetInOwnFormulas(Worksheet& sheet, const std::string& oldName,
                              const std::string& newName) {
    const NameMapping sheets = sheetMapping(oldName, newName);
    forEachFormula(sheet, [&](std::string& formula) {
        // Most formulas name no sheet; only those with a sheet prefix are worth reading.
        if (formula.find('!') != std::string::npos)
            formula = rewriteFormula(formula, {}, sheets);
    });
}

void copyNamesWithSheet(const Workbook& from, int sourceIndex, Workbook& to, int copyIndex) {
    NameCopier(from, sourceIndex, to, copyIndex).copy();
}

} // namespace sheet::embedded
