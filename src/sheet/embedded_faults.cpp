#include "sheet/embedded_faults.h"

#include "sheet/automation.h"
#include "sheet/embedded_messages.h"

#include <cstring>

namespace sheet {

namespace {

bool matches(const std::string& rule, const char* qualified) {
    if (rule == qualified)
        return true;
    const char* dot = std::strrchr(qualified, '.');
    return dot && rule == dot + 1;
}

} // namespace

void FaultPlan::failAt(const std::string& member, int call, bool always) {
    std::lock_guard lock(mutex_);
    rules_.push_back({member, call < 1 ? 1 : call, always, 0});
}

void FaultPlan::clear() {
    std::lock_guard lock(mutex_);
    rules_.clear();
}

int FaultPlan::calls(const std::string& member) const {
    std::lock_guard lock(mutex_);
    auto found = counts_.find(member);
    return found == counts_.end() ? 0 : found->second;
}

void FaultPlan::enter(const char* qualifiedMember) {
    std::lock_guard lock(mutex_);
    ++counts_[qualifiedMember];
    if (const char* dot = std::strrchr(qualifiedMember, '.'))
        ++counts_[dot + 1];
    bool due = false;
    for (Rule& rule : rules_) {
        if (!matches(rule.member, qualifiedMember))
            continue;
        ++rule.seen;
        if (rule.seen == rule.call || (rule.always && rule.seen > rule.call))
            due = true;
    }
    if (due)
        throw AutomationError(std::string(messages::kInjectedFault) + qualifiedMember);
}

} // namespace sheet
