// The main window: the top bar, the two pages with every control of the program, the status bar
// and the clock. The handlers of each subsystem live in their own file (marked sections below);
// this class's own file holds the shell's handlers only.
#pragma once

#include "app/dialogs.h"
#include "app/radio_group.h"
#include "app/status_bar.h"
#include "engine/run_host.h"
#include "project/project_file.h"
#include "project/project_settings.h"
#include "project/save_rules.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <vector>

class Tf_about;

namespace app {
// Start-up's version check: true lets start-up go on, false ends the program.
using VersionCheck = std::function<bool(const QString& programFolder, Dialogs& dialogs)>;
} // namespace app

class Tf_mainform : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window (start-up steps 4 to 10). When `versionCheck` refuses, the window is
    // built but startupRefused() is true and it must not be shown.
    explicit Tf_mainform(app::Dialogs& dialogs, const app::VersionCheck& versionCheck = {},
                         QWidget* parent = nullptr);
    ~Tf_mainform() override;

    bool startupRefused() const { return startupRefused_; }
    app::Dialogs& dialogs() { return dialogs_; }

    // A hint as the user sees it: the part before "|" as tool tip, the part after it (or the
    // whole hint) in status panel 0 while the pointer rests on the control.
    static void setHint(QWidget* widget, const QString& hint);
    static void setHint(QAction* action, const QString& hint);
    static QString longHint(const QString& hint);

    // --- shell (mainform.cpp) ---
    void FormResize();
    void Timer1Timer();
    void DisplayHint(const QString& hint);
    void FormDestroy();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    // Program-wide values.
    QString programFolder;      // the executable's folder, ending in a separator
    QString currentProjectFile; // project file last loaded or saved; empty until then
    QString currentLogFile;     // run log of the current project
    // File name of the project open dialog; empty means no project file yet.
    QString projectDialogFileName;
    // Result and reader instances of the last run or viewing operation, quit at program end.
    engine::SpreadsheetApp spreadsheetApp;

    // Top bar.
    QWidget* Panel7 = nullptr;
    QToolButton* SpeedButton1 = nullptr; // help page
    QToolButton* SpeedButton2 = nullptr; // about
    QToolButton* SpeedButton3 = nullptr; // exit

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "프로젝트"
    QWidget* TabSheet2 = nullptr; // "시트취합"
    app::StatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    Tf_about* f_about = nullptr;

    // Project page.
    QToolButton* SpeedButton4 = nullptr;  // load
    QToolButton* SpeedButton5 = nullptr;  // new
    QToolButton* SpeedButton29 = nullptr; // save
    QLineEdit* e_project = nullptr;
    QLineEdit* e_datafolder = nullptr;
    QToolButton* SpeedButton16 = nullptr; // choose the data folder
    app::RadioGroup* rg_sheet = nullptr;
    QLineEdit* e_sheet = nullptr;
    QLineEdit* e_title = nullptr;
    QLineEdit* e_range = nullptr;
    QLineEdit* e_comrange = nullptr;
    QLineEdit* e_completefile = nullptr;
    QToolButton* SpeedButton26 = nullptr; // choose the completed workbook
    QToolButton* SpeedButton27 = nullptr; // open the completed workbook
    // Stored in the project but never shown.
    QLineEdit* e_datacount = nullptr;
    app::RadioGroup* rg_cell = nullptr;
    QLineEdit* e_excelfile = nullptr;
    QLineEdit* e_excelsheet = nullptr;

    // Sheet-consolidation page.
    QSplitter* Splitter1 = nullptr;
    QLabel* Panel9 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QToolButton* SpeedButton6 = nullptr; // all to the consolidation list
    QToolButton* SpeedButton7 = nullptr; // selected to the consolidation list
    QToolButton* SpeedButton8 = nullptr; // selected out of the consolidation list
    QToolButton* SpeedButton9 = nullptr; // consolidation list emptied
    QLabel* Panel10 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QToolButton* SpeedButton17 = nullptr; // sheet check
    QToolButton* SpeedButton15 = nullptr; // run
    QToolButton* StopButton = nullptr;    // stop the run or check that is working
    QCheckBox* CheckBox1 = nullptr;       // show the process
    QCheckBox* CheckBox2 = nullptr;       // drop failing files after the check
    QCheckBox* CheckBox3 = nullptr;       // the form check with the sheet check
    QToolButton* SpeedButton21 = nullptr; // clear the log
    QLabel* Label13 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QPlainTextEdit* memo1 = nullptr;

    // Actions of the two lists (tool bars, pop-up menus, function keys).
    QAction* a_renew = nullptr;
    QAction* a_excel = nullptr;
    QAction* a_sheetprint = nullptr;
    QAction* a_delete = nullptr;
    QAction* a_rename = nullptr;
    QAction* a_sort = nullptr;
    QAction* a_excel1 = nullptr;
    QAction* a_sheetprint1 = nullptr;
    QAction* a_up = nullptr;
    QAction* a_down = nullptr;

    // --- project page (mainform_project.cpp) ---
    void setupProjectPage();
    void SpeedButton4Click();  // load a project
    void SpeedButton5Click();  // new project
    void SpeedButton29Click(); // check and save
    void SpeedButton16Click(); // choose the data folder
    void SpeedButton26Click(); // register the completed workbook
    void SpeedButton27Click(); // open the completed workbook
    void rg_sheetClick();
    void e_projectChange();
    void e_titleExit();
    void PageControl1Change();
    // The project's values as the page's controls hold them now.
    project::ProjectSettings projectSettings() const;
    // Unsaved changes: the save button is enabled.
    bool projectModified() const;
    // Modified, and the values differ from the ones last loaded, saved or reset.
    bool hasUnsavedChanges() const;

private:
    void placeRangeExample();
    void markProjectModified();
    void markProjectSaved();
    void applyMethodFieldStates(project::ConsolidationMethod method);
    bool placeProjectLines(const project::ProjectLines& loaded, const QString& path);
    void useProjectFile(const QString& path);
    void showProjectLog();
    void setProjectCaption();
    void showProjectMessage(const QString& text, project::BoxKind kind);
    void returnToProjectPage();

    bool returningToProjectPage_ = false;
    QLabel* rangeExample_ = nullptr; // the example beside e_range
    QString lastProjectSaveName_;    // the save dialog's previous answer
    project::ProjectSettings lastSavedSettings_;

public:
    // --- end project page ---

    // --- file lists (mainform_files.cpp) ---
    void setupFileLists();
    // Data-folder list: refresh from e_datafolder (a_renew), and the full path of its focused
    // entry when that entry is selected, else empty.
    void a_renewExecute();
    QString FileListBox1FileName() const;
    QString FileListBox1Directory; // the folder the list shows
    // Move buttons between the lists.
    void SpeedButton6Click(); // all to the consolidation list
    void SpeedButton7Click(); // selected to the consolidation list
    void SpeedButton8Click(); // selected out of the consolidation list
    void SpeedButton9Click(); // consolidation list emptied
    // Consolidation list.
    void a_sortExecute();
    void a_upExecute();
    void a_downExecute();
    // File operations.
    void Excelexecute(const QString& filename);
    bool DeleteFileWithUndo(const QString& sFileName);
    bool IsFileInUse(const QString& fName) const;
    void a_excelExecute();
    void a_excel1Execute();
    void a_sheetprintExecute();
    void a_sheetprint1Execute();
    void a_deleteExecute();
    void a_renameExecute();

private:
    void rereadFileList();
    void showFileListCaptions();
    bool refuseFileInUse(const QString& path);

    bool listSorted_ = false; // a_sort: ListBox1 kept in alphabetical order
    // Instances opened for viewing stay with the user after the next operation takes the
    // ResultApp slot; they live until they quit or the window goes.
    std::vector<sheet::ApplicationPtr> viewedApps_;

public:
    // --- end file lists ---

    // --- run and sheet check (mainform_run.cpp) ---
    void setupRunArea();
    // One run-log line: appended to the project's log file (created when missing) and shown in
    // memo1. A log file that cannot be written is reported once per run; the memo goes on.
    void flogsave(const QString& strIn);
    void SpeedButton15Click(); // run
    void SpeedButton21Click(); // clear the log
    // Runs an engine (a method or the sheet check) on a thread of its own through the window's
    // RunHost and returns when it has ended. Meanwhile the window redraws and can be looked
    // at; the run and check buttons and everything that would change the project, the lists
    // or the files are disabled, and the stop button is enabled. A second run cannot start
    // inside it.
    void runEngine(const std::function<void(engine::RunHost&)>& engine);
    // The stop button: the working run stops before its next workbook.
    void StopButtonClick();
    bool engineRunning = false;
    bool logFileFailureShown = false; // the log-file message of this run was shown
    // sheet check (mainform_check.cpp)
    void setupSheetCheck();
    void SpeedButton17Click(); // sheet check
private:
    void lockForRun(bool locked);
    void runOnWorker(engine::RunHost& host, const std::function<void(engine::RunHost&)>& engine);

    engine::RunHost* runningHost_ = nullptr;
    bool closeAfterRun_ = false; // the user closed the window and agreed to stop the run
    bool exitConfirmed_ = false;
    std::vector<std::pair<QWidget*, bool>> lockedWidgets_;
    std::vector<std::pair<QLineEdit*, bool>> lockedEdits_;
    std::vector<std::pair<QAction*, bool>> lockedActions_;

public:
    // --- end run and sheet check ---

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releaseForExit();
    void applyWindowFont();
    void createTopBar();
    void createProjectPage();
    void createSheetsPage();
    QWidget* createFolderListColumn();
    QWidget* createMoveButtons();
    QWidget* createConsolidationListColumn();
    QWidget* createRunArea();
    void createStatusBar();
    void createActions();
    QString hintUnder(QWidget* widget) const;

    app::Dialogs& dialogs_;
    bool startupRefused_ = false;
};
