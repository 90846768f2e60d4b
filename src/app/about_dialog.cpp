#include "app/about_dialog.h"

#include "app/app_messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QMouseEvent>
#include <QStyle>

namespace {
constexpr int kWidth = 408;
constexpr int kHeight = 219;
} // namespace

Tf_about::Tf_about(app::Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("f_about"));
    setWindowTitle(app::msg::kAboutCaption);
    setFixedSize(kWidth, kHeight);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    ProductName = new QLabel(app::msg::kAboutProduct, this);
    QFont bold = ProductName->font();
    bold.setBold(true);
    bold.setPixelSize(18);
    ProductName->setFont(bold);
    Version = new QLabel(QStringLiteral(TABRINEL_VERSION), this);
    auto* terms = new QLabel(app::msg::kAboutTerms, this);
    auto* distribution = new QLabel(app::msg::kAboutDistribution, this);
    for (QLabel* label : {terms, distribution})
        label->setWordWrap(true);
    NoticeLine = new QLabel(this);
    NoticeLine->setCursor(Qt::PointingHandCursor);
    NoticeLine->setStyleSheet(QStringLiteral("color: #0645ad;"));
    NoticeLine->installEventFilter(this);
    OKButton = new QPushButton(app::msg::kAboutOk, this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(ProductName, 0, 1);
    layout->addWidget(Version, 1, 1);
    layout->addWidget(terms, 2, 1);
    layout->addWidget(distribution, 3, 1);
    layout->addWidget(NoticeLine, 4, 1);
    layout->addWidget(OKButton, 5, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
}

void Tf_about::setNoticeYear(int year) {
    NoticeLine->setText(app::msg::kAboutNoticeLine.arg(year));
}

bool Tf_about::eventFilter(QObject* watched, QEvent* event) {
    if (watched == NoticeLine && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // A browser that cannot be started leaves nothing to report.
        dialogs_.openUrl(QStringLiteral(TABRINEL_HOME_URL));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
