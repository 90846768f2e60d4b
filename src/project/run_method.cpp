#include "project/run_method.h"

#include "engine/method_a.h"
#include "engine/method_b.h"
#include "engine/method_c.h"
#include "engine/method_e.h"

namespace project {

void runMethod(ConsolidationMethod method, engine::RunHost& host) {
    switch (method) {
    case ConsolidationMethod::A:
        engine::combination_a(host);
        return;
    case ConsolidationMethod::B:
        engine::combination_b(host);
        return;
    case ConsolidationMethod::C:
        engine::combination_c(host);
        return;
    case ConsolidationMethod::E:
        engine::combination_e(host);
        return;
    case ConsolidationMethod::D:
        return;
    }
}

std::optional<engine::form::FormMethod> formMethodOf(ConsolidationMethod method) {
    switch (method) {
    case ConsolidationMethod::A:
        return engine::form::FormMethod::A;
    case ConsolidationMethod::B:
        return engine::form::FormMethod::B;
    case ConsolidationMethod::C:
        return engine::form::FormMethod::C;
    case ConsolidationMethod::E:
        return engine::form::FormMethod::E;
    case ConsolidationMethod::D:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace project
