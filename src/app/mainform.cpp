#include "app/mainform.h"

#include "app/about_dialog.h"
#include "app/app_messages.h"
#include "app/korean_font.h"
#include "app/project_page_layout.h"
#include "engine/cell_reference.h"
#include "engine/run_frame.h"
#include "files/files_messages.h"
#include "project/project_messages.h"
#include "viewer/window_fit.h"
#include "viewer/workbook_presenter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLocale>
#include <QScreen>
#include <QScrollArea>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kClientWidth = 1130;
constexpr int kClientHeight = 706;
constexpr int kFontPixels = 13;
constexpr int kTabFontPixels = 16;

// Project page columns: labels end near x = 282, inputs start at x = 290.
constexpr int kLabelRight = 282;
constexpr int kLabelWidth = 270;
constexpr int kInputLeft = 290;
constexpr int kFieldHeight = 21;
constexpr int kRangeWidth = 191;
constexpr int kExampleGap = 8;
constexpr int kMinExampleWidth = 150;
constexpr int kPageMargin = 8;

QIcon standardIcon(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

QToolButton* iconButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap,
                        const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(standardIcon(pixmap));
    button->setAutoRaise(true);
    Tf_mainform::setHint(button, hint);
    return button;
}

QToolButton* captionButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap,
                           const QString& caption, const QString& hint) {
    QToolButton* button = iconButton(parent, name, pixmap, hint);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(false);
    return button;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    Tf_mainform::setHint(edit, hint);
    return edit;
}

void fieldLabel(QWidget* parent, const QString& text, int y) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(kLabelRight - kLabelWidth, y, kLabelWidth, kFieldHeight);
}

QLabel* captionPanel(QWidget* parent, const char* name, const QString& caption,
                     const QString& hint) {
    auto* panel = new QLabel(caption, parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(24);
    Tf_mainform::setHint(panel, hint);
    return panel;
}

QAction* listAction(QObject* parent, const char* name, const QString& text, const QString& hint,
                    QStyle::StandardPixmap pixmap, const QKeySequence& key = {}) {
    auto* action = new QAction(standardIcon(pixmap), text, parent);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    Tf_mainform::setHint(action, hint);
    return action;
}

QListWidget* fileList(QWidget* parent, const char* name, const QList<QAction*>& menu) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    list->addActions(menu);
    return list;
}

QToolBar* listToolBar(QWidget* parent, const char* name, const QList<QAction*>& actions) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addActions(actions);
    return bar;
}

} // namespace

Tf_mainform::Tf_mainform(app::Dialogs& dialogs, const app::VersionCheck& versionCheck,
                         QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("f_mainform"));
    applyWindowFont();
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    createActions();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createTopBar();
    layout->addWidget(Panel7);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1, 1);
    createProjectPage();
    createSheetsPage();
    createStatusBar();
    layout->addWidget(StatusBar1);
    setCentralWidget(central);

    // Start-up, in order: caption, column names, program folder, project dialog name, hints.
    setWindowTitle(app::msg::kApplicationTitle);
    engine::ColumnNames::table();
    programFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!programFolder.endsWith(QDir::separator()))
        programFolder += QDir::separator();
    projectDialogFileName.clear();
    qApp->installEventFilter(this);

    setupProjectPage();
    setupFileLists();
    setupRunArea();
    setupSheetCheck();

    if (versionCheck && !versionCheck(programFolder, dialogs_)) {
        startupRefused_ = true;
        return;
    }
    PageControl1->setCurrentWidget(TabSheet1);

    resize(kClientWidth, kClientHeight);
    if (QScreen* screen = QApplication::primaryScreen())
        setGeometry(viewer::fittedClientGeometry(QSize(kClientWidth, kClientHeight),
                                                 minimumSizeHint(), screen->availableGeometry()));
    f_about = new Tf_about(dialogs_, this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Tf_mainform::Timer1Timer);
    Timer1->start();
    Timer1Timer();
}

Tf_mainform::~Tf_mainform() {
    qApp->removeEventFilter(this);
    FormDestroy();
}

void Tf_mainform::applyWindowFont() {
    QFont font(app::koreanWindowFamily(kFontPixels));
    font.setPixelSize(kFontPixels);
    setFont(font);
}

void Tf_mainform::setHint(QWidget* widget, const QString& hint) {
    widget->setProperty("hint", hint);
    widget->setToolTip(hint.section(u'|', 0, 0));
    widget->setStatusTip(longHint(hint));
}

void Tf_mainform::setHint(QAction* action, const QString& hint) {
    action->setProperty("hint", hint);
    action->setToolTip(hint.section(u'|', 0, 0));
    action->setStatusTip(longHint(hint));
}

QString Tf_mainform::longHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void Tf_mainform::createTopBar() {
    Panel7 = new QWidget(this);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    auto* layout = new QHBoxLayout(Panel7);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addStretch(1);
    SpeedButton1 =
        iconButton(Panel7, "SpeedButton1", QStyle::SP_MessageBoxQuestion, app::msg::kHintHelp);
    SpeedButton2 =
        iconButton(Panel7, "SpeedButton2", QStyle::SP_MessageBoxInformation, app::msg::kHintAbout);
    SpeedButton3 =
        iconButton(Panel7, "SpeedButton3", QStyle::SP_DialogCloseButton, app::msg::kHintExit);
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton3}) {
        button->setIconSize(QSize(24, 24));
        layout->addWidget(button);
    }
    connect(SpeedButton1, &QToolButton::clicked, this, &Tf_mainform::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &Tf_mainform::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &Tf_mainform::SpeedButton3Click);
}

void Tf_mainform::createProjectPage() {
    namespace m = app::msg;
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, m::kPageProject);
    // The fields sit on a page of their own inside a scroll area: a window shrunk to a small
    // screen scrolls them instead of cutting them off.
    auto* scroll = new QScrollArea(TabSheet1);
    scroll->setObjectName(QStringLiteral("ProjectScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->viewport()->setAutoFillBackground(false);
    auto* pageLayout = new QVBoxLayout(TabSheet1);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(scroll);
    QWidget* page = new QWidget;
    page->setObjectName(QStringLiteral("ProjectFields"));

    SpeedButton4 = iconButton(page, "SpeedButton4", QStyle::SP_DialogOpenButton, m::kHintLoad);
    SpeedButton5 = iconButton(page, "SpeedButton5", QStyle::SP_FileIcon, m::kHintNew);
    SpeedButton29 = iconButton(page, "SpeedButton29", QStyle::SP_DialogSaveButton, m::kHintSave);
    int x = kInputLeft;
    for (QToolButton* button : {SpeedButton4, SpeedButton5, SpeedButton29}) {
        button->setAutoRaise(false);
        button->setGeometry(x, 20, 59, 22);
        x += 62;
    }

    fieldLabel(page, m::kLabelProject, 60);
    e_project = lineEdit(page, "e_project", m::kHintProject);
    e_project->setGeometry(kInputLeft, 60, 615, kFieldHeight);

    fieldLabel(page, m::kLabelDataFolder, 84);
    SpeedButton16 = iconButton(page, "SpeedButton16", QStyle::SP_DirOpenIcon, m::kHintChooseFolder);
    SpeedButton16->setGeometry(kInputLeft, 84, 23, 22);
    e_datafolder = lineEdit(page, "e_datafolder", m::kHintDataFolder);
    e_datafolder->setReadOnly(true);
    e_datafolder->setGeometry(316, 84, 905 - 316, kFieldHeight);

    fieldLabel(page, m::kLabelMethod, 116);
    QStringList methods(std::begin(project::msg::kMethodItems),
                        std::end(project::msg::kMethodItems));
    rg_sheet = new app::RadioGroup(methods, page);
    rg_sheet->setObjectName(QStringLiteral("rg_sheet"));
    rg_sheet->setGeometry(kInputLeft, 116, 615, 125);
    rg_sheet->setItemIndex(0);
    setHint(rg_sheet, m::kHintMethod);

    fieldLabel(page, m::kLabelSheet, 248);
    e_sheet = lineEdit(page, "e_sheet", m::kHintSheet);
    e_sheet->setGeometry(kInputLeft, 248, kRangeWidth, kFieldHeight);

    fieldLabel(page, m::kLabelTitle, 274);
    e_title = lineEdit(page, "e_title", m::kHintTitle);
    e_title->setText(project::msg::kDefaultTitleRange);
    e_title->setGeometry(kInputLeft, 274, kRangeWidth, kFieldHeight);
    auto* titleExample = new QLabel(m::kExampleTitle, page);
    titleExample->setGeometry(kInputLeft + kRangeWidth + 8, 274, 600, kFieldHeight);

    fieldLabel(page, m::kLabelRange, 300);
    e_range = lineEdit(page, "e_range", m::kHintRange);
    e_range->setGeometry(kInputLeft, 300, kRangeWidth, kFieldHeight);
    rangeExample_ = new QLabel(m::kExampleRange, page);
    rangeExample_->setObjectName(QStringLiteral("rangeExample"));
    rangeExample_->setWordWrap(true);
    placeRangeExample();

    fieldLabel(page, m::kLabelSumRange, 327);
    e_comrange = lineEdit(page, "e_comrange", m::kHintSumRange);
    e_comrange->setGeometry(kInputLeft, 327, kRangeWidth, kFieldHeight);
    auto* sumExample = new QLabel(m::kExampleSumRange, page);
    sumExample->setGeometry(kInputLeft, 354, 600, kFieldHeight);
    for (QLineEdit* edit : {e_title, e_range, e_comrange})
        edit->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoAutoUppercase |
                                  Qt::ImhNoPredictiveText);

    fieldLabel(page, m::kLabelCompleteFile, 408);
    SpeedButton26 =
        iconButton(page, "SpeedButton26", QStyle::SP_DirIcon, m::kHintChooseCompleteFile);
    SpeedButton26->setGeometry(kInputLeft, 408, 23, 22);
    e_completefile = lineEdit(page, "e_completefile", m::kHintCompleteFile);
    e_completefile->setGeometry(316, 408, 554, kFieldHeight);
    e_completefile->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    SpeedButton27 = iconButton(page, "SpeedButton27", QStyle::SP_FileDialogContentsView,
                               m::kHintOpenCompleteFile);
    SpeedButton27->setGeometry(873, 408, 23, 22);

    e_datacount = lineEdit(page, "e_datacount", {});
    QStringList kinds(std::begin(project::msg::kRangeKindItems),
                      std::end(project::msg::kRangeKindItems));
    rg_cell = new app::RadioGroup(kinds, page);
    rg_cell->setObjectName(QStringLiteral("rg_cell"));
    rg_cell->setItemIndex(0);
    e_excelfile = lineEdit(page, "e_excelfile", {});
    e_excelsheet = lineEdit(page, "e_excelsheet", {});
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{e_datacount, rg_cell, e_excelfile, e_excelsheet})
        hidden->hide();

    using Layout = app::ProjectPageLayout;
    constexpr int kOpenButtonGap = Layout::kDesignRight - 896;   // 873 + 23
    constexpr int kCompleteFileGap = Layout::kDesignRight - 870; // 316 + 554
    auto* layout = new Layout(page,
                              {{e_project, 0},
                               {e_datafolder, 0},
                               {rg_sheet, 0},
                               {e_completefile, kCompleteFileGap},
                               {titleExample, 0},
                               {sumExample, 0}},
                              {{SpeedButton27, kOpenButtonGap}});
    layout->setAfterArrange([this] { placeRangeExample(); });
    placeRangeExample();
    scroll->setWidget(page);
    // The scroll area paints its page grey; the window's white shows through instead.
    page->setAutoFillBackground(false);
}

// The example follows the data-range field, which method E widens, and wraps into the room
// left beside it, so that neither hides the other.
void Tf_mainform::placeRangeExample() {
    QWidget* page = rangeExample_->parentWidget();
    const QRect field = e_range->geometry();
    const int left = field.right() + 1 + kExampleGap;
    // A page too narrow for the example beside a widened field grows, and the window scrolls.
    page->setMinimumWidth(
        std::max(app::ProjectPageLayout::kMinimumPageWidth, left + kMinExampleWidth + kPageMargin));
    const int width = std::max(kMinExampleWidth, page->width() - kPageMargin - left);
    const int height = std::max(kFieldHeight, rangeExample_->heightForWidth(width));
    rangeExample_->setGeometry(left, field.top(), width, height);
}

void Tf_mainform::createActions() {
    namespace f = files::msg;
    a_renew = listAction(this, "a_renew", f::kMenuRenew, f::kRenewHint, QStyle::SP_BrowserReload,
                         Qt::Key_F5);
    a_excel = listAction(this, "a_excel", f::kMenuOpen, f::kOpenHint, QStyle::SP_DialogOpenButton,
                         Qt::Key_F6);
    a_sheetprint = listAction(this, "a_sheetprint", f::kMenuPrint, f::kPrintHint,
                              QStyle::SP_FileDialogDetailedView, Qt::Key_F7);
    a_delete = listAction(this, "a_delete", f::kMenuDelete, f::kDeleteHint, QStyle::SP_TrashIcon,
                          Qt::Key_F8);
    a_rename = listAction(this, "a_rename", f::kMenuRename, f::kRenameHint,
                          QStyle::SP_FileDialogInfoView, Qt::Key_F9);
    a_sort = listAction(this, "a_sort", f::kMenuSort, f::kSortHint, QStyle::SP_FileDialogListView);
    a_sort->setCheckable(true);
    a_excel1 =
        listAction(this, "a_excel1", f::kMenuOpen, f::kOpenHint, QStyle::SP_DialogOpenButton);
    a_sheetprint1 = listAction(this, "a_sheetprint1", f::kMenuPrint, f::kPrintHint,
                               QStyle::SP_FileDialogDetailedView);
    a_up = listAction(this, "a_up", f::kMenuUp, f::kUpHint, QStyle::SP_ArrowUp);
    a_down = listAction(this, "a_down", f::kMenuDown, f::kDownHint, QStyle::SP_ArrowDown);
    // The function keys work whichever page is shown.
    addActions({a_renew, a_excel, a_sheetprint, a_delete, a_rename});
}

void Tf_mainform::createSheetsPage() {
    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, app::msg::kPageSheets);
    auto* layout = new QHBoxLayout(TabSheet2);
    layout->setContentsMargins(4, 4, 4, 4);
    Splitter1 = new QSplitter(Qt::Horizontal, TabSheet2);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(createFolderListColumn());
    Splitter1->addWidget(createMoveButtons());
    Splitter1->addWidget(createConsolidationListColumn());
    Splitter1->addWidget(createRunArea());
    Splitter1->setSizes({260, 40, 260, 560});
    Splitter1->setStretchFactor(3, 1);
    layout->addWidget(Splitter1);

    QFont tabFont = font();
    tabFont.setPixelSize(kTabFontPixels);
    tabFont.setBold(true);
    PageControl1->tabBar()->setFont(tabFont);
    // The page tabs look like push buttons; the shown page's button stays pressed.
    PageControl1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { height: 30px; width: 120px; margin: 2px 4px 2px 0; border: 1px solid "
        "#a0a0a0; border-radius: 3px; background: #f0f0f0; }"
        "QTabBar::tab:selected { background: #dcdcdc; border-color: #707070; }"
        "QTabBar::tab:hover:!selected { background: #e8f0fb; }"
        "QTabWidget::pane { background: white; border-top: 1px solid #a0a0a0; }"));
}

QWidget* Tf_mainform::createFolderListColumn() {
    auto* column = new QWidget(Splitter1);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    Panel9 =
        captionPanel(column, "Panel9", app::msg::kPanelDataFolder, files::msg::kFolderPanelHint);
    const QList<QAction*> actions{a_renew, a_excel, a_sheetprint, a_delete, a_rename};
    ToolBar1 = listToolBar(column, "ToolBar1", actions);
    FileListBox1 = fileList(column, "FileListBox1", actions);
    layout->addWidget(Panel9);
    layout->addWidget(ToolBar1);
    layout->addWidget(FileListBox1, 1);
    return column;
}

QWidget* Tf_mainform::createMoveButtons() {
    namespace f = files::msg;
    auto* column = new QWidget(Splitter1);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addStretch(1);
    SpeedButton6 = iconButton(column, "SpeedButton6", QStyle::SP_MediaSeekForward, f::kMoveAllHint);
    SpeedButton7 = iconButton(column, "SpeedButton7", QStyle::SP_ArrowRight, f::kMoveSelectedHint);
    SpeedButton8 = iconButton(column, "SpeedButton8", QStyle::SP_ArrowLeft, f::kRemoveSelectedHint);
    SpeedButton9 =
        iconButton(column, "SpeedButton9", QStyle::SP_MediaSeekBackward, f::kRemoveAllHint);
    for (QToolButton* button : {SpeedButton6, SpeedButton7, SpeedButton8, SpeedButton9}) {
        button->setAutoRaise(false);
        button->setFixedSize(32, 28);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return column;
}

QWidget* Tf_mainform::createConsolidationListColumn() {
    auto* column = new QWidget(Splitter1);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    Panel10 =
        captionPanel(column, "Panel10", files::msg::kListCaptionPlain, files::msg::kListPanelHint);
    const QList<QAction*> actions{a_sort, a_excel1, a_sheetprint1, a_up, a_down};
    ToolBar2 = listToolBar(column, "ToolBar2", actions);
    ListBox1 = fileList(column, "ListBox1", actions);
    layout->addWidget(Panel10);
    layout->addWidget(ToolBar2);
    layout->addWidget(ListBox1, 1);
    return column;
}

QWidget* Tf_mainform::createRunArea() {
    namespace m = app::msg;
    auto* area = new QWidget(Splitter1);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(4, 0, 0, 0);

    auto* buttons = new QHBoxLayout;
    SpeedButton17 = captionButton(area, "SpeedButton17", QStyle::SP_DialogApplyButton,
                                  m::kCaptionCheck, m::kHintCheck);
    SpeedButton15 =
        captionButton(area, "SpeedButton15", QStyle::SP_MediaPlay, m::kCaptionRun, m::kHintRun);
    StopButton =
        captionButton(area, "StopButton", QStyle::SP_MediaStop, m::kCaptionStop, m::kHintStop);
    for (QToolButton* button : {SpeedButton17, SpeedButton15, StopButton}) {
        button->setMinimumSize(140, 32);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    CheckBox1 = new QCheckBox(m::kCaptionShowProcess, area);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(m::kCaptionAutoExclude, area);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setChecked(true);
    CheckBox3 = new QCheckBox(m::kCaptionFormCheck, area);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    auto* checkOptions = new QHBoxLayout;
    checkOptions->addWidget(CheckBox2);
    checkOptions->addWidget(CheckBox3);
    checkOptions->addStretch(1);
    layout->addWidget(CheckBox1);
    layout->addLayout(checkOptions);

    auto* progressRow = new QHBoxLayout;
    SpeedButton21 = captionButton(area, "SpeedButton21", QStyle::SP_DialogResetButton,
                                  m::kCaptionClearLog, m::kHintClearLog);
    Label13 = new QLabel(area);
    Label13->setObjectName(QStringLiteral("Label13"));
    // Room for the widest count a long list shows, so the label never jumps or cuts digits.
    Label13->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label13->setMinimumWidth(
        Label13->fontMetrics().horizontalAdvance(QStringLiteral("00000/00000")));
    progressRow->addWidget(SpeedButton21);
    progressRow->addStretch(1);
    progressRow->addWidget(Label13);
    layout->addLayout(progressRow);

    Gauge1 = new QProgressBar(area);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    layout->addWidget(Gauge1);

    memo1 = new QPlainTextEdit(area);
    memo1->setObjectName(QStringLiteral("memo1"));
    memo1->setReadOnly(true);
    memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHint(memo1, m::kHintMemo);
    layout->addWidget(memo1, 1);
    return area;
}

void Tf_mainform::createStatusBar() {
    StatusBar1 = new app::StatusBar({{800, Qt::AlignLeft, false},
                                     {50, Qt::AlignHCenter, false},
                                     {50, Qt::AlignHCenter, false},
                                     {50, Qt::AlignLeft, true}},
                                    this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
}

void Tf_mainform::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tf_mainform::FormResize() {
    if (!StatusBar1)
        return;
    // Integer arithmetic truncates exactly as the panel widths need: 1146 gives 802, 114, 229.
    const int outer = frameGeometry().width();
    StatusBar1->setPanelWidth(0, outer * 7 / 10);
    StatusBar1->setPanelWidth(1, outer / 10);
    StatusBar1->setPanelWidth(2, outer * 2 / 10);
}

void Tf_mainform::Timer1Timer() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    StatusBar1->setPanelText(2, locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                                    locale.toString(now.time(), QLocale::LongFormat));
}

void Tf_mainform::DisplayHint(const QString& hint) {
    StatusBar1->setPanelText(0, longHint(hint));
}

QString Tf_mainform::hintUnder(QWidget* widget) const {
    for (QWidget* w = widget; w && w != this; w = w->parentWidget()) {
        const QVariant hint = w->property("hint");
        if (hint.isValid() && !hint.toString().isEmpty())
            return hint.toString();
        if (!w->statusTip().isEmpty())
            return w->statusTip();
    }
    return {};
}

bool Tf_mainform::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == this)
            DisplayHint(hintUnder(widget));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Tf_mainform::event(QEvent* event) {
    // Menu entries report their hints this way.
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void Tf_mainform::closeEvent(QCloseEvent* event) {
    if (engineRunning) {
        // The window closes when the run has stopped; until then it stays.
        event->ignore();
        if (!closeAfterRun_ && dialogs_.confirm(app::msg::kConfirmStopForExit)) {
            closeAfterRun_ = true;
            StopButtonClick();
        }
        return;
    }
    if (exitConfirmed_) {
        event->accept();
        return;
    }
    if (!dialogs_.confirm(app::msg::kConfirmExit)) {
        event->ignore();
        return;
    }
    releaseForExit();
    event->accept();
}

// Results are saved by the time a run ends, so nothing more is asked: every instance quits with
// alerts off and every workbook window closes, leaving no window to keep the program running.
void Tf_mainform::releaseForExit() {
    engine::SpreadsheetApp& held = spreadsheetApp;
    held.ResultSheet.reset();
    held.ResultBook.reset();
    held.SourceSheet.reset();
    held.SourceBook.reset();
    engine::quitInstance(held.ResultApp);
    engine::quitInstance(held.ReaderApp);
    for (sheet::ApplicationPtr& viewed : viewedApps_)
        engine::quitInstance(viewed);
    viewedApps_.clear();
    viewer::closeWorkbookWindows();
}

void Tf_mainform::FormDestroy() {
    // DisplayAlerts on lets the spreadsheet application ask about unsaved workbooks itself.
    for (sheet::ApplicationPtr* slot : {&spreadsheetApp.ResultApp, &spreadsheetApp.ReaderApp}) {
        if (!*slot)
            continue;
        try {
            (*slot)->SetDisplayAlerts(true);
            (*slot)->Quit();
        } catch (const sheet::AutomationError&) {
            // An instance that cannot be quit any more is released all the same.
        }
        slot->reset();
    }
}

void Tf_mainform::SpeedButton1Click() {
    dialogs_.openUrl(QStringLiteral(TABRINEL_HELP_URL));
}

void Tf_mainform::SpeedButton2Click() {
    f_about->setNoticeYear(QDate::currentDate().year());
    f_about->exec();
}

void Tf_mainform::SpeedButton3Click() {
    close();
}
