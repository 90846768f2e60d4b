#include "app/mainform.h"
#include "app/window_run_host.h"
#include "engine/engine_messages.h"
#include "engine/run_log.h"
#include "project/project_log.h"
#include "project/project_settings.h"
#include "project/run_method.h"

#include <QDateTime>
#include <QFile>
#include <QScopeGuard>

// The run button, the log and the progress display connect here.

namespace {

namespace msg = engine::msg;

} // namespace

void Tf_mainform::setupRunArea() {
    connect(SpeedButton15, &QToolButton::clicked, this, &Tf_mainform::SpeedButton15Click);
    connect(SpeedButton21, &QToolButton::clicked, this, &Tf_mainform::SpeedButton21Click);
}

void Tf_mainform::flogsave(const QString& strIn) {
    const QString line = engine::RunLog::line(QDateTime::currentDateTime(), strIn);
    memo1->appendPlainText(line);
    memo1->repaint();
    if (currentLogFile.isEmpty())
        return;
    const std::optional<QString> error = project::appendLogLine(currentLogFile, line);
    if (!error || logFileFailureShown)
        return;
    logFileFailureShown = true;
    dialogs().message(msg::kLogFileUnwritable.arg(currentLogFile, *error),
                      app::MessageKind::Warning);
}

void Tf_mainform::SpeedButton21Click() {
    if (memo1->document()->isEmpty())
        return;
    const bool withFile =
        dialogs().okCancel(currentLogFile + msg::kClearLogQuestion, msg::kClearLogCaption);
    memo1->clear();
    if (!withFile || currentLogFile.isEmpty())
        return;
    QFile file(currentLogFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        dialogs().message(msg::kLogFileNotCleared.arg(currentLogFile, file.errorString()),
                          app::MessageKind::Warning);
}

void Tf_mainform::runEngine(const std::function<void(engine::RunHost&)>& engine) {
    if (engineRunning)
        return;
    engineRunning = true;
    logFileFailureShown = false;
    SpeedButton15->setEnabled(false);
    SpeedButton17->setEnabled(false);
    const auto restore = qScopeGuard([this] {
        SpeedButton15->setEnabled(true);
        SpeedButton17->setEnabled(true);
        engineRunning = false;
    });
    app::WindowRunHost host(*this);
    try {
        engine(host);
    } catch (const std::exception& error) {
        // The engines catch around their steps; whatever slips past still must not end the
        // program with the user's result open.
        const QString text = msg::kRunStoppedUnexpectedly.arg(QString::fromUtf8(error.what()));
        flogsave(text);
        dialogs().message(text, app::MessageKind::Error);
    }
}

void Tf_mainform::SpeedButton15Click() {
    if (engineRunning)
        return;
    if (ListBox1->count() == 0) {
        dialogs().message(msg::kRunEmptyList);
        return;
    }
    Gauge1->setValue(0);
    Label13->clear();
    Gauge1->repaint();
    Label13->repaint();
    if (dialogs().confirm(msg::kConfirmRun)) {
        const int index = rg_sheet->itemIndex();
        const project::ConsolidationMethod method = project::isMethodIndex(index)
                                                        ? project::methodOfIndex(index)
                                                        : project::ConsolidationMethod::D;
        runEngine([method](engine::RunHost& host) { project::runMethod(method, host); });
    }
    a_renew->trigger();
}
