// A "create instance" for tests that hands out embedded instances and can be told to fail.
//
//   EmbeddedFactory factory;
//   factory.failCreationAt(2);                  // the second instance cannot be created
//   factory.failMember("Workbooks.Open", 3);    // the third Open, over all instances, throws
//   factory.failMember("Paste", 1, true);       // every Paste throws
//   sheet::ApplicationFactory create = factory.factory();
//
// Members are named as in sheet/embedded_faults.h ("Interface.Member", or the member alone).
// Every instance created shares one fault plan, so calls are counted across instances; use
// faultPlan() to read the counts (calls("Workbook.SaveAs")). A failed creation throws
// sheet::AutomationError, as when no spreadsheet component is installed. created() keeps every
// instance handed out, quit or not, so a test can look into their workbooks afterwards.
#pragma once

#include "sheet/automation.h"
#include "sheet/embedded_application.h"
#include "sheet/embedded_faults.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class EmbeddedFactory {
public:
    EmbeddedFactory();

    // The n-th creation (1-based, counted over this factory's life) throws; with `always`
    // every creation from the n-th on throws.
    void failCreationAt(int creation, bool always = false);
    void failMember(const std::string& member, int call = 1, bool always = false);

    sheet::ApplicationFactory factory();
    sheet::ApplicationPtr create();

    int creations() const { return creations_; }
    const std::vector<std::shared_ptr<sheet::EmbeddedApplication>>& created() const {
        return created_;
    }
    sheet::FaultPlan& faultPlan() { return *faults_; }

private:
    std::shared_ptr<sheet::FaultPlan> faults_;
    int failCreation_ = 0;
    bool failCreationAlways_ = false;
    int creations_ = 0;
    std::vector<std::shared_ptr<sheet::EmbeddedApplication>> created_;
};

} // namespace testing_support
