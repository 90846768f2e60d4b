// Differences between two workbook models, in words, for tests that expect two readings of one
// form to agree.
#pragma once

#include "sheet/model.h"

#include <string>
#include <vector>

namespace test_support {

struct ComparisonOptions {
    bool styles = true;
    bool layout = true;
    bool formulas = true;
    // Some writers store no result for formulas giving text or errors (the reading program
    // computes them): such a formula with the result 0 agrees with any text or error result.
    bool uncachedTextResults = false;
};

// One line per difference ("학교!B3 value 12 != 13"); empty when the models agree.
std::vector<std::string> modelDifferences(const sheet::Workbook& expected,
                                          const sheet::Workbook& actual,
                                          const ComparisonOptions& options = {});

} // namespace test_support
