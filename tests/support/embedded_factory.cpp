#include "support/embedded_factory.h"

namespace testing_support {

EmbeddedFactory::EmbeddedFactory() : faults_(std::make_shared<sheet::FaultPlan>()) {}

void EmbeddedFactory::failCreationAt(int creation, bool always) {
    failCreation_ = creation;
    failCreationAlways_ = always;
}

void EmbeddedFactory::failMember(const std::string& member, int call, bool always) {
    faults_->failAt(member, call, always);
}

sheet::ApplicationFactory EmbeddedFactory::factory() {
    return [this] { return create(); };
}

sheet::ApplicationPtr EmbeddedFactory::create() {
    ++creations_;
    bool due = failCreation_ > 0 &&
               (creations_ == failCreation_ || (failCreationAlways_ && creations_ > failCreation_));
    if (due)
        throw sheet::AutomationError("스프레드시트 구성 요소를 시작할 수 없습니다 (테스트)");
    auto app = sheet::createEmbeddedApplication();
    app->setFaultPlan(faults_);
    created_.push_back(app);
    return app;
}

} // namespace testing_support
