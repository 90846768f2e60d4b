// The about window: product, version, terms of use and a notice line that opens the home page.
#pragma once

#include "app/dialogs.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

class Tf_about : public QDialog {
    Q_OBJECT
public:
    explicit Tf_about(app::Dialogs& dialogs, QWidget* parent = nullptr);

    // The notice line names the years from the first release to `year`.
    void setNoticeYear(int year);

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* NoticeLine = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    app::Dialogs& dialogs_;
};
