// Fault injection for tests: makes chosen members of the embedded component throw, so that a
// caller's every failure path can be reached with workbooks that are otherwise sound.
//
// Members are named "Interface.Member" with the interface names of automation.h without the
// leading I: "Application.Quit", "Workbooks.Open", "Workbook.SaveAs", "Worksheet.Paste",
// "Worksheet.Copy", "Range.Copy", "Range.SetFormula", "PageSetup.SetOrientation",
// "Window.SetZoom", ... A rule may also name the member alone ("Paste", "SaveAs"); it then
// matches that member of any interface.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace sheet {

class FaultPlan {
public:
    // The `call`-th matching call (1-based, counted from when the rule is added) throws
    // AutomationError; later calls succeed again. With `always` every call from then on throws.
    void failAt(const std::string& member, int call, bool always = false);
    void clear();

    // How many calls of `member` (either form of name) the plan has seen since it was made.
    int calls(const std::string& member) const;

    // Called by the component when a member is entered; throws when a rule falls due.
    void enter(const char* qualifiedMember);

private:
    struct Rule {
        std::string member;
        int call = 1;
        bool always = false;
        int seen = 0;
    };
    mutable std::mutex mutex_;
    std::vector<Rule> rules_;
    std::map<std::string, int> counts_;
};

} // namespace sheet
