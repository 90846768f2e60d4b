#include "app/mainform.h"
#include "app/window_run_host.h"
#include "engine/engine_messages.h"
#include "engine/run_log.h"
#include "project/project_log.h"
#include "project/project_settings.h"
#include "project/run_method.h"
#include "sheet/memory_release.h"
#include "viewer/workbook_presenter.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QTextCursor>
#include <QThread>

// The run button, the log and the progress display connect here.

namespace {

namespace msg = engine::msg;

} // namespace

void Tf_mainform::setupRunArea() {
    connect(SpeedButton15, &QToolButton::clicked, this, &Tf_mainform::SpeedButton15Click);
    connect(SpeedButton21, &QToolButton::clicked, this, &Tf_mainform::SpeedButton21Click);
    connect(StopButton, &QToolButton::clicked, this, &Tf_mainform::StopButtonClick);
    StopButton->setEnabled(false);
}

void Tf_mainform::flogsave(const QString& strIn) {
    const QString line = engine::RunLog::line(QDateTime::currentDateTime(), strIn);
    memo1->appendPlainText(line);
    // The newest line in sight, as each line of a run comes.
    memo1->moveCursor(QTextCursor::End);
    memo1->ensureCursorVisible();
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

void Tf_mainform::lockForRun(bool locked) {
    SpeedButton15->setEnabled(!locked);
    SpeedButton17->setEnabled(!locked);
    StopButton->setEnabled(locked);
    if (!locked) {
        for (const auto& [widget, enabled] : lockedWidgets_)
            widget->setEnabled(enabled);
        for (const auto& [edit, readOnly] : lockedEdits_)
            edit->setReadOnly(readOnly);
        for (const auto& [action, enabled] : lockedActions_)
            action->setEnabled(enabled);
        lockedWidgets_.clear();
        lockedEdits_.clear();
        lockedActions_.clear();
        return;
    }
    // The run reads the fields when it needs them and e_comrange's enabled state is one of
    // its values: fields turn read-only, never disabled.
    for (QLineEdit* edit : {e_project, e_sheet, e_title, e_range, e_comrange, e_completefile}) {
        lockedEdits_.emplace_back(edit, edit->isReadOnly());
        edit->setReadOnly(true);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{
             SpeedButton4, SpeedButton5, SpeedButton29, SpeedButton16, SpeedButton26, SpeedButton27,
             rg_sheet, SpeedButton6, SpeedButton7, SpeedButton8, SpeedButton9, CheckBox1, CheckBox2,
             CheckBox3, SpeedButton21}) {
        lockedWidgets_.emplace_back(widget, widget->isEnabled());
        widget->setEnabled(false);
    }
    for (QAction* action : {a_renew, a_excel, a_sheetprint, a_delete, a_rename, a_sort, a_excel1,
                            a_sheetprint1, a_up, a_down}) {
        lockedActions_.emplace_back(action, action->isEnabled());
        action->setEnabled(false);
    }
}

void Tf_mainform::runOnWorker(engine::RunHost& host,
                              const std::function<void(engine::RunHost&)>& engine) {
    QString unexpected;
    QThread* worker = QThread::create([&host, &engine, &unexpected] {
        try {
            engine(host);
        } catch (const std::exception& error) {
            // The engines catch around their steps; whatever slips past still must not end
            // the program with the user's result open.
            unexpected = QString::fromUtf8(error.what());
        }
    });
    worker->setObjectName(QStringLiteral("run"));
    // The window's own loop keeps running: it draws, answers the run's questions and takes
    // the stop button, until the run has ended.
    QEventLoop loop;
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    viewer::lendInstancesToRun();
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    // Only now does the window's thread own the instances again.
    viewer::handBackInstances();
    if (unexpected.isEmpty())
        return;
    const QString text = msg::kRunStoppedUnexpectedly.arg(unexpected);
    flogsave(text);
    dialogs().message(text, app::MessageKind::Error);
}

void Tf_mainform::runEngine(const std::function<void(engine::RunHost&)>& engine) {
    if (engineRunning)
        return;
    engineRunning = true;
    logFileFailureShown = false;
    lockForRun(true);
    app::WindowRunHost host(*this);
    runningHost_ = &host;
    runOnWorker(host, engine);
    runningHost_ = nullptr;
    // The reader instances and workbooks of the run are gone; their memory goes back too.
    sheet::releaseFreedMemory();
    lockForRun(false);
    engineRunning = false;
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        exitConfirmed_ = true;
        // Queued: the caller (the run button) finishes first, then the window closes.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void Tf_mainform::StopButtonClick() {
    if (!runningHost_)
        return;
    runningHost_->requestStop();
    StopButton->setEnabled(false);
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
